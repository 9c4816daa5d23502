// A showing of the chooser as the host sees it: the hand-shake, the window,
// the page, requests while it is open, reopening and what is left after it.

#include "chooser_session_win_test.h"

#include "extension/chooser_page.h"
#include "private_executable_regions_win.h"
#include "text/utf16.h"
#include "webview/bridge_scripts.h"

namespace tunewell::testing
{
namespace
{

using Showing = ChooserSession;

using testsupport::privateExecutableRegions;

std::wstring windowTitle (HWND window)
{
    wchar_t title[64] {};
    GetWindowTextW (window, title, 64);
    return title;
}

TEST_F (Showing, theWindowIsTitledResizableInFrontAndHoldsTheBrowserAtItsClientSize)
{
    HWND window = nullptr;
    RECT client {};
    POINT clientOrigin {};
    LONG style = 0;
    MINMAXINFO limits {};
    HWND content = nullptr;
    RECT contentRect {};

    ShowingScript script;
    script.when ("the page", pageLoaded, [&] {
        window = visibleChooserWindow();
        GetClientRect (window, &client);
        ClientToScreen (window, &clientOrigin);
        style = GetWindowLongW (window, GWL_STYLE);
        SendMessageW (window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM> (&limits));
        content = GetWindow (window, GW_CHILD);
        GetWindowRect (content, &contentRect);
        clickCloseBox();
    });
    runShowing (script);

    ASSERT_NE (window, nullptr);
    EXPECT_EQ (windowTitle (window), L"Tunewell");
    EXPECT_EQ (chooserWindows().size(), 1u);
    EXPECT_EQ (client.right - client.left, 1080);
    EXPECT_EQ (client.bottom - client.top, 720);
    EXPECT_EQ (clientOrigin.x, 100);
    EXPECT_EQ (clientOrigin.y, 100);
    EXPECT_EQ (style & (WS_THICKFRAME | WS_MAXIMIZEBOX), WS_THICKFRAME | WS_MAXIMIZEBOX);
    EXPECT_EQ (limits.ptMinTrackSize.x, 300);
    EXPECT_EQ (limits.ptMinTrackSize.y, 300);
    EXPECT_EQ (limits.ptMaxTrackSize.x, 1500);
    EXPECT_EQ (limits.ptMaxTrackSize.y, 1200);
    EXPECT_EQ (limits.ptMaxSize.x, 1500);
    EXPECT_EQ (limits.ptMaxSize.y, 1200);

    ASSERT_NE (content, nullptr);
    EXPECT_EQ (contentRect.right - contentRect.left, 1080);
    EXPECT_EQ (contentRect.bottom - contentRect.top, 720);
}

TEST_F (Showing, thePageIsExactlyTheChooserPageWithTheBridgeThenTheThreeStubs)
{
    ShowingScript script;
    script.when ("the page", pageLoaded, clickCloseBox);
    runShowing (script);

    const std::vector<std::string> stubs { ui::makeBindingStub ("getSongListFromVantor"),
                                           ui::makeBindingStub ("closeSongSelector"),
                                           ui::makeBindingStub ("selectSong") };
    std::vector<std::string> creationScripts { std::string (ui::bridgeScript) };
    creationScripts.insert (creationScripts.end(), stubs.begin(), stubs.end());

    EXPECT_EQ (loggedTexts (L"AddScriptToExecuteOnDocumentCreated"), creationScripts);
    EXPECT_EQ (loggedTexts (L"ExecuteScript"), stubs);
    EXPECT_EQ (loggedTexts (L"NavigateToString"), std::vector<std::string> { chooserPageHtml });
    EXPECT_LT (logPosition (L"ExecuteScript", stubs.back()), logPosition (L"NavigateToString", chooserPageHtml));

    // The blank document every view starts with, then the page.
    EXPECT_EQ (standin_document_count(), 2);
    std::wstring html (standin_document_html (nullptr, 0), L'\0');
    standin_document_html (html.data(), html.size() + 1);
    EXPECT_EQ (html, text::utf8ToUtf16 (chooserPageHtml));
}

TEST_F (Showing, aSlowBrowserStartShowsThatTheSongListIsStartingUntilThePageShows)
{
    standin_plan_browser_process (1500, 5, 100, STANDIN_EXIT_RACE_FAILS);
    constexpr const wchar_t* starting = L"The song list is starting";

    ShowingScript script;
    script.when (
        "the start-up text",
        [starting] { return visibleChooserWindow() != nullptr && windowShowsText (visibleChooserWindow(), starting); },
        [] { EXPECT_EQ (standin_open_view_count(), 0); });
    script.when ("the page", pageLoaded, [starting] {
        EXPECT_FALSE (windowShowsText (visibleChooserWindow(), starting));
        clickCloseBox();
    });
    runShowing (script);

    EXPECT_TRUE (script.allStepsRan());
}

TEST_F (Showing, aRequestWhileOpenRestoresTheWindowInFrontInsteadOfASecondShowing)
{
    size_t windowsAfterRequests = 0;
    int viewsAfterRequests = 0;
    bool minimised = false;
    bool minimisedAfterRequests = true;

    ShowingScript script;
    script.when ("the page", pageLoaded, [&] {
        host.clearLog();
        ShowWindow (visibleChooserWindow(), SW_MINIMIZE);
        minimised = IsIconic (visibleChooserWindow()) != FALSE;
        library->InvokeMenu (0);
        library->OnWidgetValueChanged ("showTunewell", 1.0);
        library->OnModeChanged (1);
    });
    script.then ([&] {
        windowsAfterRequests = chooserWindows().size();
        viewsAfterRequests = standin_open_view_count();
        minimisedAfterRequests = IsIconic (visibleChooserWindow()) != FALSE;
        clickCloseBox();
    });
    runShowing (script);

    ASSERT_TRUE (minimised);
    EXPECT_FALSE (minimisedAfterRequests);
    EXPECT_EQ (windowsAfterRequests, 1u);
    EXPECT_EQ (viewsAfterRequests, 1);
    EXPECT_EQ (host.countCallsTo ("Vantor_SwitchToSetlistView"), 0);
    EXPECT_EQ (loggedTexts (L"NavigateToString").size(), 1u);
}

TEST_F (Showing, aChooserReopensInAFreshWindowAfterItsCloseBox)
{
    HWND first = nullptr, second = nullptr;

    ShowingScript firstScript;
    firstScript.when ("the first page", pageLoaded, [&] {
        first = visibleChooserWindow();
        clickCloseBox();
    });
    runShowing (firstScript);

    ShowingScript secondScript;
    secondScript.when ("the second page", pageLoaded, [&] {
        second = visibleChooserWindow();
        clickCloseBox();
    });
    standin_reset();
    runShowing (secondScript);

    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);
    EXPECT_NE (first, second);
    EXPECT_FALSE (IsWindow (first));
    EXPECT_EQ (host.countCallsTo ("Vantor_SwitchToSetlistView"), 2);
    EXPECT_EQ (chooserWindows().size(), 1u);
    EXPECT_EQ (standin_open_view_count(), 1);
}

TEST_F (Showing, closingTheLibraryLeavesNoWindowClassBrowserOrMappedImageBehind)
{
    std::wstring className;
    const int executableRegionsBefore = privateExecutableRegions();

    ShowingScript script;
    script.when ("the page", pageLoaded, [&] {
        wchar_t name[64] {};
        GetClassNameW (visibleChooserWindow(), name, 64);
        className = name;
        clickCloseBox();
    });
    runShowing (script);
    library->OnClose();
    runPendingMessages();

    WNDCLASSEXW info {};
    info.cbSize = sizeof (info);
    EXPECT_FALSE (className.empty());
    EXPECT_FALSE (GetClassInfoExW (GetModuleHandleW (nullptr), className.c_str(), &info));
    EXPECT_TRUE (chooserWindows().empty());
    EXPECT_EQ (standin_open_view_count(), 0);
    EXPECT_EQ (standin_live_object_count(), 0);
    EXPECT_EQ (privateExecutableRegions(), executableRegionsBefore);
}

} // namespace
} // namespace tunewell::testing
