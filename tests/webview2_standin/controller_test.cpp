#include <algorithm>

#include "standin_fixture.h"

namespace tunewell::standin::testing
{
namespace
{

class ControllerTest : public StandinTest
{
protected:
    void SetUp() override
    {
        StandinTest::SetUp();
        ASSERT_NO_FATAL_FAILURE (createBrowser());
    }

    /// The child window that holds the browser content, found as the only
    /// child of the parent.
    HWND content() const { return GetWindow (parent, GW_CHILD); }

    RECT contentRectInParent() const
    {
        RECT r {};
        GetWindowRect (content(), &r);
        MapWindowPoints (HWND_DESKTOP, parent, reinterpret_cast<POINT*> (&r), 2);
        return r;
    }
};

TEST_F (ControllerTest, ContentIsAVisibleChildWindowOfTheParent)
{
    ASSERT_NE (content(), nullptr);
    EXPECT_EQ (GetParent (content()), parent);
    EXPECT_TRUE (GetWindowLongW (content(), GWL_STYLE) & WS_VISIBLE);

    HWND reported = nullptr;
    EXPECT_EQ (controller->get_ParentWindow (&reported), S_OK);
    EXPECT_EQ (reported, parent);
}

TEST_F (ControllerTest, BoundsMoveTheContentWindowAndReadBack)
{
    RECT wanted { 10, 20, 310, 220 };
    ASSERT_EQ (controller->put_Bounds (wanted), S_OK);

    auto placed = contentRectInParent();
    EXPECT_EQ (placed.left, 10);
    EXPECT_EQ (placed.top, 20);
    EXPECT_EQ (placed.right, 310);
    EXPECT_EQ (placed.bottom, 220);

    RECT reported {};
    ASSERT_EQ (controller->get_Bounds (&reported), S_OK);
    EXPECT_TRUE (EqualRect (&reported, &wanted));

    EXPECT_EQ (readLog().back(), (LogEntry { L"put_Bounds", L"10\t20\t310\t220" }));
}

TEST_F (ControllerTest, VisibilityShowsAndHidesTheContentWindow)
{
    ASSERT_EQ (controller->put_IsVisible (FALSE), S_OK);
    EXPECT_FALSE (GetWindowLongW (content(), GWL_STYLE) & WS_VISIBLE);

    BOOL visible = TRUE;
    ASSERT_EQ (controller->get_IsVisible (&visible), S_OK);
    EXPECT_FALSE (visible);

    ASSERT_EQ (controller->put_IsVisible (TRUE), S_OK);
    EXPECT_TRUE (GetWindowLongW (content(), GWL_STYLE) & WS_VISIBLE);

    auto log = readLog();
    ASSERT_GE (log.size(), 2u);
    EXPECT_EQ (log[log.size() - 2], (LogEntry { L"put_IsVisible", L"0" }));
    EXPECT_EQ (log.back(), (LogEntry { L"put_IsVisible", L"1" }));
}

TEST_F (ControllerTest, CloseDestroysTheContentAndRefusesLaterCalls)
{
    ASSERT_EQ (controller->Close(), S_OK);
    EXPECT_EQ (content(), nullptr);
    EXPECT_EQ (standin_open_view_count(), 0);

    const HRESULT invalidState = HRESULT_FROM_WIN32 (ERROR_INVALID_STATE);
    EXPECT_EQ (controller->put_Bounds (RECT { 0, 0, 5, 5 }), invalidState);
    EXPECT_EQ (view->ExecuteScript (L"1", nullptr), invalidState);

    ICoreWebView2* none = reinterpret_cast<ICoreWebView2*> (1);
    EXPECT_EQ (controller->get_CoreWebView2 (&none), invalidState);
    EXPECT_EQ (none, nullptr);
}

TEST_F (ControllerTest, ReleasingTheLastReferenceClosesLikeClose)
{
    view.reset();
    controller.reset();
    EXPECT_EQ (content(), nullptr);
}

TEST_F (ControllerTest, BadArgumentsAreRefusedWithoutEffect)
{
    EXPECT_EQ (controller->get_Bounds (nullptr), E_POINTER);
    EXPECT_EQ (controller->put_ZoomFactor (0.0), E_INVALIDARG);
    EXPECT_EQ (controller->put_ParentWindow (nullptr), E_INVALIDARG);
    EXPECT_EQ (GetParent (content()), parent);
}

TEST_F (ControllerTest, AnswersEachControllerVersionAsOneObjectThatAllowsExternalDropByDefault)
{
    for (const IID* version :
         { &IID_ICoreWebView2Controller2, &IID_ICoreWebView2Controller3, &IID_ICoreWebView2Controller4 })
    {
        void* answered = nullptr;
        ASSERT_EQ (controller->QueryInterface (*version, &answered), S_OK);
        EXPECT_EQ (answered, static_cast<void*> (controller.get()));
        static_cast<IUnknown*> (answered)->Release();
    }

    ICoreWebView2Controller4* fourth = nullptr;
    ASSERT_EQ (controller->QueryInterface (IID_ICoreWebView2Controller4, reinterpret_cast<void**> (&fourth)), S_OK);
    BOOL allowed = FALSE;
    EXPECT_EQ (fourth->get_AllowExternalDrop (&allowed), S_OK);
    EXPECT_TRUE (allowed);
    ASSERT_EQ (fourth->put_AllowExternalDrop (FALSE), S_OK);
    EXPECT_EQ (fourth->get_AllowExternalDrop (&allowed), S_OK);
    EXPECT_FALSE (allowed);
    EXPECT_EQ (fourth->put_BoundsMode (COREWEBVIEW2_BOUNDS_MODE_USE_RASTERIZATION_SCALE), E_NOTIMPL);
    fourth->Release();

    EXPECT_EQ (readLog().back(), (LogEntry { L"put_AllowExternalDrop", L"0" }));
}

TEST_F (ControllerTest, FocusAndParentMovesAreLogged)
{
    ASSERT_EQ (controller->MoveFocus (COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC), S_OK);
    ASSERT_EQ (controller->MoveFocus (COREWEBVIEW2_MOVE_FOCUS_REASON_NEXT), S_OK);
    ASSERT_EQ (controller->NotifyParentWindowPositionChanged(), S_OK);

    auto log = readLog();
    ASSERT_GE (log.size(), 3u);
    EXPECT_EQ (std::vector<LogEntry> (log.end() - 3, log.end()), (std::vector<LogEntry> {
                                                                     { L"MoveFocus", L"0" },
                                                                     { L"MoveFocus", L"1" },
                                                                     { L"NotifyParentWindowPositionChanged", L"" },
                                                                 }));
}

// Settings belong to each view and start at Microsoft's defaults: everything
// enabled.
TEST_F (ControllerTest, EachViewsSettingsStartEnabledAndLogTheirWrites)
{
    ICoreWebView2Settings* plain = nullptr;
    ASSERT_EQ (view->get_Settings (&plain), S_OK);
    auto settingsOne = ui::ComRef<ICoreWebView2Settings>::adopt (plain);
    ICoreWebView2Settings3* settings = nullptr;
    ASSERT_EQ (plain->QueryInterface (IID_ICoreWebView2Settings3, reinterpret_cast<void**> (&settings)), S_OK);
    auto third = ui::ComRef<ICoreWebView2Settings3>::adopt (settings);
    void* second = nullptr;
    ASSERT_EQ (plain->QueryInterface (IID_ICoreWebView2Settings2, &second), S_OK);
    static_cast<IUnknown*> (second)->Release();

    using Getter = HRESULT (STDMETHODCALLTYPE ICoreWebView2Settings3::*) (BOOL*);
    using Setter = HRESULT (STDMETHODCALLTYPE ICoreWebView2Settings3::*) (BOOL);
    struct Setting
    {
        Getter get;
        Setter put;
        const wchar_t* operation;
    };
    const Setting all[] = {
        { &ICoreWebView2Settings3::get_AreDevToolsEnabled, &ICoreWebView2Settings3::put_AreDevToolsEnabled,
          L"put_AreDevToolsEnabled" },
        { &ICoreWebView2Settings3::get_AreDefaultContextMenusEnabled,
          &ICoreWebView2Settings3::put_AreDefaultContextMenusEnabled, L"put_AreDefaultContextMenusEnabled" },
        { &ICoreWebView2Settings3::get_AreBrowserAcceleratorKeysEnabled,
          &ICoreWebView2Settings3::put_AreBrowserAcceleratorKeysEnabled, L"put_AreBrowserAcceleratorKeysEnabled" },
        { &ICoreWebView2Settings3::get_IsStatusBarEnabled, &ICoreWebView2Settings3::put_IsStatusBarEnabled,
          L"put_IsStatusBarEnabled" },
        { &ICoreWebView2Settings3::get_AreDefaultScriptDialogsEnabled,
          &ICoreWebView2Settings3::put_AreDefaultScriptDialogsEnabled, L"put_AreDefaultScriptDialogsEnabled" },
        { &ICoreWebView2Settings3::get_IsScriptEnabled, &ICoreWebView2Settings3::put_IsScriptEnabled,
          L"put_IsScriptEnabled" },
        { &ICoreWebView2Settings3::get_IsWebMessageEnabled, &ICoreWebView2Settings3::put_IsWebMessageEnabled,
          L"put_IsWebMessageEnabled" },
        { &ICoreWebView2Settings3::get_IsZoomControlEnabled, &ICoreWebView2Settings3::put_IsZoomControlEnabled,
          L"put_IsZoomControlEnabled" },
        { &ICoreWebView2Settings3::get_IsBuiltInErrorPageEnabled,
          &ICoreWebView2Settings3::put_IsBuiltInErrorPageEnabled, L"put_IsBuiltInErrorPageEnabled" },
    };

    for (const auto& setting : all)
    {
        SCOPED_TRACE (setting.operation);
        BOOL value = FALSE;
        ASSERT_EQ ((settings->*setting.get) (&value), S_OK);
        EXPECT_TRUE (value) << "enabled by default";

        ASSERT_EQ ((settings->*setting.put) (FALSE), S_OK);
        EXPECT_EQ (readLog().back(), (LogEntry { setting.operation, L"0" }));
        ASSERT_EQ ((settings->*setting.get) (&value), S_OK);
        EXPECT_FALSE (value);
        ASSERT_EQ ((settings->*setting.put) (TRUE), S_OK);
        EXPECT_EQ (readLog().back(), (LogEntry { setting.operation, L"1" }));
        ASSERT_EQ ((settings->*setting.put) (FALSE), S_OK);
    }

    // A new view starts at the defaults again.
    auto another = createAnotherController();
    ASSERT_TRUE (another);
    ICoreWebView2* anotherView = nullptr;
    ASSERT_EQ (another->get_CoreWebView2 (&anotherView), S_OK);
    ICoreWebView2Settings* fresh = nullptr;
    ASSERT_EQ (anotherView->get_Settings (&fresh), S_OK);
    anotherView->Release();
    BOOL devTools = FALSE;
    EXPECT_EQ (fresh->get_AreDevToolsEnabled (&devTools), S_OK);
    EXPECT_TRUE (devTools);
    fresh->Release();
    another->Close();
}

// Keys reach the view once MoveFocus put the focus into it.
class KeyTest : public ControllerTest
{
protected:
    void SetUp() override
    {
        ControllerTest::SetUp();
        ShowWindow (parent, SW_SHOWNOACTIVATE);
        ASSERT_EQ (controller->MoveFocus (COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC), S_OK);

        auto* handler = new AcceleratorKeyHandler (
            [this] (ICoreWebView2Controller*, ICoreWebView2AcceleratorKeyPressedEventArgs* args) {
                Pressed seen {};
                args->get_VirtualKey (&seen.virtualKey);
                args->get_KeyEventKind (&seen.kind);
                seen.controlHeld = GetKeyState (VK_CONTROL) < 0;
                pressed.push_back (seen);
                if (handles)
                    args->put_Handled (TRUE);
                return S_OK;
            });
        EventRegistrationToken token {};
        ASSERT_EQ (controller->add_AcceleratorKeyPressed (handler, &token), S_OK);
        handler->Release();
    }

    ui::ComRef<ICoreWebView2Settings3> settings()
    {
        ICoreWebView2Settings* plain = nullptr;
        EXPECT_EQ (view->get_Settings (&plain), S_OK);
        ICoreWebView2Settings3* third = nullptr;
        plain->QueryInterface (IID_ICoreWebView2Settings3, reinterpret_cast<void**> (&third));
        plain->Release();
        return ui::ComRef<ICoreWebView2Settings3>::adopt (third);
    }

    /// Presses the chord, then Escape, which nothing acts on, and returns
    /// what the chord brought, once Escape's arrival shows it all came. What
    /// earlier keys started (a reload's navigation) is done first.
    std::vector<LogEntry> press (const wchar_t* chord)
    {
        pumpMessages();
        const size_t from = standin_log_count();
        EXPECT_EQ (standin_press_key (chord), 0);
        EXPECT_EQ (standin_press_key (L"Escape"), 0);

        auto isEscape = [] (const LogEntry& entry) {
            return entry.text == L"Escape"
                && (entry.operation == L"AcceleratorKeyPressed" || entry.operation == L"KeyToHostWindow");
        };
        EXPECT_TRUE (waitUntil ([&] {
            auto since = logSince (from);
            return std::any_of (since.begin(), since.end(), isEscape);
        }));
        auto since = logSince (from);
        since.erase (std::find_if (since.begin(), since.end(), isEscape), since.end());
        return since;
    }

    struct Pressed
    {
        UINT virtualKey;
        COREWEBVIEW2_KEY_EVENT_KIND kind;
        bool controlHeld;
    };
    std::vector<Pressed> pressed;
    bool handles = false;
};

struct KeyCase
{
    const wchar_t* chord;
    const wchar_t* action; // logged with the chord; null when none
    bool browserKey;       // off with the browser's accelerator keys
};

const KeyCase keyCases[] = {
    { L"F5", L"Reload", true },
    { L"Ctrl+R", L"Reload", true },
    { L"F12", L"OpenDevToolsWindow", true },
    { L"Ctrl+Shift+C", L"OpenDevToolsWindow", true },
    { L"Ctrl+P", L"ShowPrintUI", true },
    { L"Ctrl+F", L"Find", true },
    { L"Alt+Left", L"GoBack", true },
    { L"PageDown", L"Scroll", false },
    { L"PageUp", L"Scroll", false },
    { L"Home", L"Scroll", false },
    { L"End", L"Scroll", false },
    { L"Down", L"Scroll", false },
    { L"Ctrl+C", L"Edit", false },
    { L"Ctrl+Q", nullptr, false },
};

TEST_F (KeyTest, EachKeyRaisesTheEventAndTheBrowserActsWithTheDefaults)
{
    for (const auto& key : keyCases)
    {
        SCOPED_TRACE (key.chord);
        std::vector<LogEntry> expected { { L"AcceleratorKeyPressed", key.chord } };
        if (key.action != nullptr)
            expected.push_back ({ key.action, key.chord });

        auto brought = press (key.chord);
        // A reload goes on to navigate again.
        brought.resize (std::min (brought.size(), expected.size()));
        EXPECT_EQ (brought, expected);
    }
}

TEST_F (KeyTest, WithBrowserKeysOffOnlyTheEventIsLeftButScrollingAndEditingStay)
{
    ASSERT_EQ (settings()->put_AreBrowserAcceleratorKeysEnabled (FALSE), S_OK);

    for (const auto& key : keyCases)
    {
        SCOPED_TRACE (key.chord);
        std::vector<LogEntry> expected { { L"AcceleratorKeyPressed", key.chord } };
        if (key.action != nullptr && ! key.browserKey)
            expected.push_back ({ key.action, key.chord });

        EXPECT_EQ (press (key.chord), expected);
    }
}

TEST_F (KeyTest, DevToolsKeysDoNothingWithDevToolsOffWhileOtherBrowserKeysWork)
{
    ASSERT_EQ (settings()->put_AreDevToolsEnabled (FALSE), S_OK);

    EXPECT_EQ (press (L"F12"), (std::vector<LogEntry> { { L"AcceleratorKeyPressed", L"F12" } }));
    EXPECT_EQ (press (L"Ctrl+Shift+C"), (std::vector<LogEntry> { { L"AcceleratorKeyPressed", L"Ctrl+Shift+C" } }));
    EXPECT_EQ (press (L"Ctrl+P"), (std::vector<LogEntry> {
                                      { L"AcceleratorKeyPressed", L"Ctrl+P" },
                                      { L"ShowPrintUI", L"Ctrl+P" },
                                  }));
}

TEST_F (KeyTest, AKeyMarkedHandledKeepsTheBrowserFromActing)
{
    handles = true;
    EXPECT_EQ (press (L"F5"), (std::vector<LogEntry> { { L"AcceleratorKeyPressed", L"F5" } }));
    EXPECT_EQ (press (L"PageDown"), (std::vector<LogEntry> { { L"AcceleratorKeyPressed", L"PageDown" } }));
}

TEST_F (KeyTest, TheEventTellsTheKeyItsKindAndTheHeldModifiers)
{
    press (L"Ctrl+R");
    press (L"Alt+Left");
    press (L"F5");

    // Each press is followed by Escape's.
    ASSERT_EQ (pressed.size(), 6u);
    EXPECT_EQ (pressed[0].virtualKey, static_cast<UINT> ('R'));
    EXPECT_EQ (pressed[0].kind, COREWEBVIEW2_KEY_EVENT_KIND_KEY_DOWN);
    EXPECT_TRUE (pressed[0].controlHeld);
    EXPECT_EQ (pressed[2].virtualKey, static_cast<UINT> (VK_LEFT));
    EXPECT_EQ (pressed[2].kind, COREWEBVIEW2_KEY_EVENT_KIND_SYSTEM_KEY_DOWN);
    EXPECT_EQ (pressed[4].virtualKey, static_cast<UINT> (VK_F5));
    EXPECT_FALSE (pressed[4].controlHeld);
    EXPECT_FALSE (GetKeyState (VK_CONTROL) < 0) << "the modifiers are let go after the event";
}

TEST_F (KeyTest, KeysGoToTheHostWindowUntilTheViewHasTheFocus)
{
    SetFocus (parent);
    EXPECT_EQ (press (L"PageDown"), (std::vector<LogEntry> { { L"KeyToHostWindow", L"PageDown" } }));
    EXPECT_TRUE (pressed.empty());

    ASSERT_EQ (controller->MoveFocus (COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC), S_OK);
    EXPECT_EQ (press (L"PageDown"), (std::vector<LogEntry> {
                                        { L"AcceleratorKeyPressed", L"PageDown" },
                                        { L"Scroll", L"PageDown" },
                                    }));
}

TEST_F (KeyTest, ReloadKeysLoadTheDocumentAgain)
{
    ASSERT_TRUE (showDocument (L"<p>set list</p>"));
    const int documents = standin_document_count();

    press (L"F5");
    ASSERT_TRUE (waitUntil ([&] { return standin_document_count() == documents + 1; }));
    EXPECT_EQ (documentHtml(), L"<p>set list</p>");
    EXPECT_EQ (documentSource(), L"about:blank");
}

TEST_F (KeyTest, UnknownChordsAndTypedTextAreRefused)
{
    for (const wchar_t* chord : { L"", L"F13", L"Hyper+F5", L"Ctrl+", L"Ctrl+Ctrl+R", L"A", L"Shift+7" })
        EXPECT_EQ (standin_press_key (chord), STANDIN_UNKNOWN_REQUEST) << chord;
}

} // namespace
} // namespace tunewell::standin::testing
