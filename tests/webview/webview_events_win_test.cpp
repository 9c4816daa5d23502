#include "webview_fixture_win_test.h"

#include <string>
#include <vector>

#include "text/utf16.h"
#include "webview/webview.h"
#include "webview/webview_event_handler_win.h"

namespace tunewell::ui::testing
{
namespace
{

HWND viewWindowOf (const WebView& view)
{
    return static_cast<HWND> (view.getViewWindow());
}

bool echoed (size_t count)
{
    return loggedTexts (L"PostWebMessageAsString").size() >= count;
}

class PageMessages : public StandinTest
{
protected:
    void SetUp() override
    {
        StandinTest::SetUp();
        view = std::make_unique<WebView> (standinViewOptions());
        ASSERT_TRUE (view->isBrowserCreated());

        // A view hears only the page it opened itself.
        const int documentsBefore = standin_document_count();
        view->loadHTML ("<p>page</p>");
        ASSERT_TRUE (runMessagesUntil ([documentsBefore] { return standin_document_count() > documentsBefore; }));

        view->bind ("add", [this] (const value::ValueView& arguments) {
            ++addCalls;
            callingThread = GetCurrentThreadId();
            return value::Value (arguments[0].get<int64_t>() + arguments[1].get<int64_t>());
        });
    }

    void TearDown() override
    {
        view.reset();
        StandinTest::TearDown();
    }

    std::unique_ptr<WebView> view;
    int addCalls = 0;
    DWORD callingThread = 0;
};

TEST_F (PageMessages, aCallFromThePageIsAnsweredAndThenEchoedBack)
{
    const std::wstring call = L"{\"id\":2,\"fn\":\"add\",\"params\":[40,2]}";
    ASSERT_EQ (standin_post_web_message (call.c_str()), 0);
    ASSERT_TRUE (runMessagesUntil ([] { return echoed (1); }));

    EXPECT_EQ (addCalls, 1);
    EXPECT_EQ (callingThread, GetCurrentThreadId());
    const auto scripts = loggedTexts (L"ExecuteScript");
    ASSERT_FALSE (scripts.empty());
    EXPECT_EQ (scripts.back(), L"window._fnBindings[2].resolve(42); delete window._fnBindings[2];");
    EXPECT_EQ (loggedTexts (L"PostWebMessageAsString"), std::vector<std::wstring> { call });

    // The reply reaches the page before the echo does.
    auto entries = standinLog();
    size_t reply = entries.size(), echo = entries.size();
    for (size_t index = 0; index < entries.size(); ++index)
    {
        if (entries[index].operation == L"ExecuteScript" && entries[index].text == scripts.back())
            reply = index;
        if (entries[index].operation == L"PostWebMessageAsString")
            echo = index;
    }
    EXPECT_LT (reply, echo);
}

TEST_F (PageMessages, textOutsideTheBasicPlaneReachesTheBoundFunctionIntact)
{
    std::string received;
    view->bind ("remember", [&received] (const value::ValueView& arguments) {
        received = std::string (arguments[0].readString());
        return value::Value();
    });

    const std::wstring call = L"{\"id\":3,\"fn\":\"remember\",\"params\":[\"Los Ni\u00f1os \U0001F3B8\"]}";
    ASSERT_EQ (standin_post_web_message (call.c_str()), 0);
    ASSERT_TRUE (runMessagesUntil ([] { return echoed (1); }));

    EXPECT_EQ (received, "Los Ni\xC3\xB1os \xF0\x9F\x8E\xB8");
}

TEST_F (PageMessages, aMessageThatIsNotAStringReachesNeitherTheBridgeNorTheEcho)
{
    ASSERT_EQ (standin_post_web_message_json (L"{\"id\":2,\"fn\":\"add\",\"params\":[1,2]}"), 0);
    // A string message afterwards shows when the first one has been handled.
    ASSERT_EQ (standin_post_web_message (L"{\"id\":3,\"fn\":\"add\",\"params\":[1,1]}"), 0);
    ASSERT_TRUE (runMessagesUntil ([] { return echoed (1); }));
    runPendingMessages();

    EXPECT_EQ (addCalls, 1);
    EXPECT_EQ (loggedTexts (L"PostWebMessageAsString"),
               std::vector<std::wstring> { L"{\"id\":3,\"fn\":\"add\",\"params\":[1,1]}" });
    EXPECT_EQ (loggedTexts (L"ExecuteScript").back(),
               L"window._fnBindings[3].resolve(2); delete window._fnBindings[3];");
}

TEST_F (PageMessages, aMalformedCallIsStillEchoedButAnswersNothing)
{
    const auto repliesBefore = loggedTexts (L"ExecuteScript").size();
    ASSERT_EQ (standin_post_web_message (L"not json at all"), 0);
    ASSERT_TRUE (runMessagesUntil ([] { return echoed (1); }));

    EXPECT_EQ (addCalls, 0);
    EXPECT_EQ (loggedTexts (L"ExecuteScript").size(), repliesBefore);
}

TEST_F (PageMessages, theOwnPageMayReadTheClipboardAndEveryOtherSourceIsDenied)
{
    struct Request
    {
        COREWEBVIEW2_PERMISSION_KIND kind;
        const wchar_t* source;
        COREWEBVIEW2_PERMISSION_STATE expected;
        int id = 0;
        StandinPermissionOutcome outcome {};
    };
    Request requests[] {
        { COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ, L"about:blank", COREWEBVIEW2_PERMISSION_STATE_ALLOW },
        { COREWEBVIEW2_PERMISSION_KIND_CAMERA, L"about:blank", COREWEBVIEW2_PERMISSION_STATE_DEFAULT },
        { COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ, L"https://example.test/", COREWEBVIEW2_PERMISSION_STATE_DENY },
        { COREWEBVIEW2_PERMISSION_KIND_MICROPHONE, L"https://example.test/", COREWEBVIEW2_PERMISSION_STATE_DENY },
    };
    for (auto& request : requests)
        ASSERT_GT (request.id = standin_request_permission (request.kind, request.source), 0);

    ASSERT_TRUE (runMessagesUntil ([&] {
        bool allAnswered = true;
        for (auto& request : requests)
            allAnswered = standin_permission_outcome (request.id, &request.outcome) == 0
                       && request.outcome.answered && allAnswered;
        return allAnswered;
    }));

    for (const auto& request : requests)
    {
        EXPECT_EQ (request.outcome.handlerCount, 1);
        EXPECT_EQ (request.outcome.handlerResult, S_OK);
        EXPECT_EQ (request.outcome.state, request.expected) << request.kind << " from " << text::utf16ToUtf8 (request.source);
    }
}

using ViewWindowTracking = PageMessages;

TEST_F (ViewWindowTracking, theBrowserFillsTheViewWindowFromItsOrigin)
{
    HWND window = viewWindowOf (*view);
    SetWindowPos (window, nullptr, 30, 40, 321, 123, SWP_NOZORDER | SWP_NOACTIVATE);

    const auto bounds = loggedTexts (L"put_Bounds");
    ASSERT_FALSE (bounds.empty());
    EXPECT_EQ (bounds.back(), L"0\t0\t321\t123");
}

TEST_F (ViewWindowTracking, theBrowserIsVisibleExactlyWhileTheViewWindowIs)
{
    HWND window = viewWindowOf (*view);

    ShowWindow (window, SW_SHOWNOACTIVATE);
    auto visibility = loggedTexts (L"put_IsVisible");
    ASSERT_FALSE (visibility.empty());
    EXPECT_EQ (visibility.back(), L"1");

    ShowWindow (window, SW_HIDE);
    visibility = loggedTexts (L"put_IsVisible");
    EXPECT_EQ (visibility.back(), L"0");
}

// The runtime may query any handler it is given, as COM allows any caller to.
TEST (EventHandlerIdentity, answersIUnknownAndEachOfItsInterfacesAsOneObjectAndNothingElse)
{
    auto handler = ComRef<WebView2Host::EventHandler>::share (new WebView2Host::EventHandler (nullptr));
    auto* environmentHandler = static_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*> (handler.get());

    void* identity = nullptr;
    ASSERT_EQ (handler->QueryInterface (IID_IUnknown, &identity), S_OK);
    EXPECT_EQ (identity, static_cast<IUnknown*> (environmentHandler));
    EXPECT_EQ (handler->referenceCount(), 2u);
    static_cast<IUnknown*> (identity)->Release();

    const std::vector<std::pair<IID, IUnknown*>> interfaces {
        { IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, environmentHandler },
        { IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
          static_cast<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*> (handler.get()) },
        { IID_ICoreWebView2WebMessageReceivedEventHandler,
          static_cast<ICoreWebView2WebMessageReceivedEventHandler*> (handler.get()) },
        { IID_ICoreWebView2PermissionRequestedEventHandler,
          static_cast<ICoreWebView2PermissionRequestedEventHandler*> (handler.get()) },
        { IID_ICoreWebView2WebResourceRequestedEventHandler,
          static_cast<ICoreWebView2WebResourceRequestedEventHandler*> (handler.get()) },
        { IID_ICoreWebView2ProcessFailedEventHandler,
          static_cast<ICoreWebView2ProcessFailedEventHandler*> (handler.get()) },
        { IID_ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler,
          static_cast<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler*> (handler.get()) },
        { IID_ICoreWebView2NewBrowserVersionAvailableEventHandler,
          static_cast<ICoreWebView2NewBrowserVersionAvailableEventHandler*> (handler.get()) },
        { IID_ICoreWebView2NavigationStartingEventHandler,
          static_cast<ICoreWebView2NavigationStartingEventHandler*> (handler.get()) },
        { IID_ICoreWebView2NewWindowRequestedEventHandler,
          static_cast<ICoreWebView2NewWindowRequestedEventHandler*> (handler.get()) },
    };

    for (const auto& [iid, expected] : interfaces)
    {
        void* answered = nullptr;
        ASSERT_EQ (handler->QueryInterface (iid, &answered), S_OK);
        EXPECT_EQ (answered, expected);

        // Asked through any of its interfaces, the object is the same one.
        void* sameIdentity = nullptr;
        ASSERT_EQ (static_cast<IUnknown*> (answered)->QueryInterface (IID_IUnknown, &sameIdentity), S_OK);
        EXPECT_EQ (sameIdentity, identity);
        static_cast<IUnknown*> (sameIdentity)->Release();
        static_cast<IUnknown*> (answered)->Release();
    }

    for (const IID& foreign : { IID_ICoreWebView2, IID_ICoreWebView2Environment, IID_IDispatch })
    {
        void* answered = handler.get();
        EXPECT_EQ (handler->QueryInterface (foreign, &answered), E_NOINTERFACE);
        EXPECT_EQ (answered, nullptr);
    }

    EXPECT_EQ (handler->QueryInterface (IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ (handler->referenceCount(), 1u);
}

} // namespace
} // namespace tunewell::ui::testing
