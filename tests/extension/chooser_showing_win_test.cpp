// A showing of the chooser as the host sees it: the hand-shake, the window,
// the page, requests while it is open, reopening and what is left after it.

#include "chooser_session_win_test.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "extension/chooser_page.h"
#include "private_executable_regions_win.h"
#include "text/utf16.h"
#include "webview/bridge_scripts.h"

namespace tunewell::testrig
{
namespace
{

using Showing = ChooserSession;

using testrig::privateExecutableRegions;

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
    LONG style = 0;
    HWND content = nullptr;
    RECT contentRect {};

    ShowingScript script;
    script.when ("the page", pageLoaded, [&] {
        window = visibleChooserWindow();
        GetClientRect (window, &client);
        style = GetWindowLongW (window, GWL_STYLE);
        content = GetWindow (window, GW_CHILD);
        GetWindowRect (content, &contentRect);
        clickCloseBox();
    });
    runShowing (script);

    ASSERT_NE (window, nullptr);
    EXPECT_EQ (windowTitle (window), L"Tunewell");
    EXPECT_EQ (chooserWindows().size(), 1u);
    EXPECT_EQ (style & (WS_THICKFRAME | WS_MAXIMIZEBOX), WS_THICKFRAME | WS_MAXIMIZEBOX);

    // The geometry at each display scale: ShowingAtDisplayScale.
    ASSERT_NE (content, nullptr);
    EXPECT_EQ (contentRect.right - contentRect.left, client.right);
    EXPECT_EQ (contentRect.bottom - contentRect.top, client.bottom);
}

using ShowingAtDisplayScale = ChooserSession;

// How the chooser fits a 1920 x 1080 screen at each display scale: a client
// size of 0 stands for "fills the work area in that direction".
struct GeometryAtScale
{
    unsigned int dpi;
    SIZE client, minimumTrack, maximumTrack, maximised;
};
constexpr GeometryAtScale geometryAtScales[] = {
    { 96, { 1080, 720 }, { 300, 300 }, { 1500, 1200 }, { 1500, 1080 } },
    { 144, { 1620, 0 }, { 450, 450 }, { 2250, 1800 }, { 1920, 1080 } },
    { 192, { 0, 0 }, { 600, 600 }, { 3000, 2400 }, { 1920, 1080 } },
};

// The display scale that the Wine prefix of this run was given (LogPixels);
// the registration of the test sets it.
unsigned int prefixDpi()
{
    wchar_t value[16] {};
    const DWORD length = GetEnvironmentVariableW (L"TUNEWELL_WINE_LOGPIXELS", value, 16);
    return length > 0 && length < 16 ? static_cast<unsigned int> (std::wcstoul (value, nullptr, 10)) : 0;
}

// Sizes as the monitor has them, whatever the awareness of the thread that asks.
class PhysicalPixels
{
public:
    PhysicalPixels() : previous (SetThreadDpiAwarenessContext (DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)) {}
    ~PhysicalPixels() { SetThreadDpiAwarenessContext (previous); }

private:
    DPI_AWARENESS_CONTEXT previous;
};

TEST_F (ShowingAtDisplayScale, theWindowOpensAndMaximisesInsideTheWorkAreaWithScaledLimitsAndLeavesTheHostsScalingAlone)
{
    const unsigned int dpi = prefixDpi();
    if (dpi == 0)
        GTEST_SKIP() << "runs in a Wine prefix of its own display scale (tests/extension/CMakeLists.txt)";
    const auto expected = std::find_if (std::begin (geometryAtScales), std::end (geometryAtScales),
                                        [dpi] (const GeometryAtScale& row) { return row.dpi == dpi; });
    ASSERT_NE (expected, std::end (geometryAtScales)) << dpi;

    // A host that never declared its DPI awareness.
    const DPI_AWARENESS_CONTEXT hostAwareness = SetThreadDpiAwarenessContext (DPI_AWARENESS_CONTEXT_UNAWARE);
    const DPI_AWARENESS_CONTEXT unaware = GetThreadDpiAwarenessContext();

    HWND window = nullptr;
    UINT windowDpi = 0;
    RECT opened {}, client {}, maximised {};
    MONITORINFO monitor { sizeof (monitor), {}, {}, 0 };
    MINMAXINFO limits {};
    ShowingScript script;
    script.when ("the page", pageLoaded, [&] {
        const PhysicalPixels physical;
        window = visibleChooserWindow();
        windowDpi = GetDpiForWindow (window);
        GetWindowRect (window, &opened);
        GetClientRect (window, &client);
        GetMonitorInfoW (MonitorFromWindow (window, MONITOR_DEFAULTTONEAREST), &monitor);
        SendMessageW (window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM> (&limits));
        // As a click on the maximise box arrives: through the host's loop.
        PostMessageW (window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    });
    script.when (
        "the window maximised", [&] { return IsZoomed (window) != FALSE; },
        [&] {
            const PhysicalPixels physical;
            GetWindowRect (window, &maximised);
            clickCloseBox();
        });
    runShowing (script);
    const bool hostAwarenessKept = AreDpiAwarenessContextsEqual (GetThreadDpiAwarenessContext(), unaware);
    SetThreadDpiAwarenessContext (hostAwareness);

    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (hostAwarenessKept);
    EXPECT_EQ (windowDpi, dpi);
    const RECT& work = monitor.rcWork;
    ASSERT_EQ (work.right - work.left, 1920);
    ASSERT_EQ (work.bottom - work.top, 1080);

    RECT inside {};
    IntersectRect (&inside, &opened, &work);
    EXPECT_TRUE (EqualRect (&inside, &opened))
        << opened.left << "," << opened.top << " " << opened.right << "," << opened.bottom;
    if (expected->client.cx > 0)
        EXPECT_EQ (client.right, expected->client.cx);
    else
        EXPECT_EQ (opened.right - opened.left, 1920);
    if (expected->client.cy > 0)
        EXPECT_EQ (client.bottom, expected->client.cy);
    else
        EXPECT_EQ (opened.bottom - opened.top, 1080);

    EXPECT_EQ (limits.ptMinTrackSize.x, expected->minimumTrack.cx);
    EXPECT_EQ (limits.ptMinTrackSize.y, expected->minimumTrack.cy);
    EXPECT_EQ (limits.ptMaxTrackSize.x, expected->maximumTrack.cx);
    EXPECT_EQ (limits.ptMaxTrackSize.y, expected->maximumTrack.cy);

    const RECT expectedMaximised { work.left, work.top, work.left + expected->maximised.cx,
                                   work.top + expected->maximised.cy };
    EXPECT_TRUE (EqualRect (&maximised, &expectedMaximised))
        << maximised.left << "," << maximised.top << " " << maximised.right << "," << maximised.bottom;
    EXPECT_GE (maximised.right - maximised.left, opened.right - opened.left);
    EXPECT_GE (maximised.bottom - maximised.top, opened.bottom - opened.top);
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
} // namespace tunewell::testrig
