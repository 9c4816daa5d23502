#include "webview_fixture_win_test.h"

#include <objbase.h>

#include <memory>
#include <thread>

#include "webview/bridge_scripts.h"
#include "webview/webview.h"
#include "webview/webview_fallback_win.h"

namespace tunewell::ui::testing
{
namespace
{

std::wstring wide (std::string_view text)
{
    return std::wstring (text.begin(), text.end());
}

HWND viewWindowOf (const WebView& view)
{
    return static_cast<HWND> (view.getViewWindow());
}

std::wstring windowClassName (HWND window)
{
    wchar_t name[256] {};
    GetClassNameW (window, name, 256);
    return name;
}

/// The static text that a view without a browser shows, or empty.
std::wstring fallbackNoticeText (HWND viewWindow)
{
    HWND child = FindWindowExW (viewWindow, nullptr, L"STATIC", nullptr);

    if (child == nullptr)
        return {};

    wchar_t text[1024] {};
    GetWindowTextW (child, text, 1024);
    return text;
}

bool classIsRegistered (const std::wstring& className)
{
    WNDCLASSEXW info {};
    info.cbSize = sizeof (info);
    return GetClassInfoExW (GetModuleHandleW (nullptr), className.c_str(), &info) != FALSE;
}

using BrowserCreation = StandinTest;

TEST_F (BrowserCreation, aNewViewHasItsBrowserWhenTheConstructorReturns)
{
    WebView view { standinViewOptions() };

    EXPECT_TRUE (view.isBrowserCreated());
    EXPECT_FALSE (view.quitTakenDuringCreation().has_value());
    EXPECT_EQ (standin_open_view_count(), 1);
    ASSERT_NE (viewWindowOf (view), nullptr);
    EXPECT_TRUE (IsWindow (viewWindowOf (view)));
    EXPECT_EQ (windowClassName (viewWindowOf (view)).rfind (L"TunewellWebView", 0), 0u);
    EXPECT_TRUE (fallbackNoticeText (viewWindowOf (view)).empty());
}

TEST_F (BrowserCreation, theWaitKeepsDispatchingWhileTheBrowserIsSlowToStart)
{
    standin_delay_creation (25);

    WebView view { standinViewOptions() };

    EXPECT_TRUE (view.isBrowserCreated());
    EXPECT_EQ (standin_open_view_count(), 1);
}

TEST_F (BrowserCreation, aViewOnAnotherThreadWaitsOnThatThreadsOwnQueue)
{
    bool created = false;
    HWND window = nullptr;
    DWORD windowThread = 0;
    DWORD workerThread = 0;

    std::thread worker ([&] {
        workerThread = GetCurrentThreadId();
        standin_delay_creation (3);
        WebView view { standinViewOptions() };
        created = view.isBrowserCreated();
        window = viewWindowOf (view);
        windowThread = GetWindowThreadProcessId (window, nullptr);
    });
    worker.join();

    EXPECT_TRUE (created);
    EXPECT_EQ (windowThread, workerThread);
    EXPECT_FALSE (IsWindow (window));
}

TEST_F (BrowserCreation, theBridgeScriptIsRegisteredBeforeEveryBindingStub)
{
    WebView view { standinViewOptions() };
    view.bind ("first", [] (const value::ValueView&) { return value::Value(); });
    view.bind ("second", [] (const value::ValueView&) { return value::Value(); });

    const auto scripts = loggedTexts (L"AddScriptToExecuteOnDocumentCreated");
    ASSERT_EQ (scripts.size(), 3u);
    EXPECT_EQ (scripts[0], wide (bridgeScript));
    EXPECT_EQ (scripts[1], wide (makeBindingStub ("first")));
    EXPECT_EQ (scripts[2], wide (makeBindingStub ("second")));
    EXPECT_EQ (loggedTexts (L"ExecuteScript"),
               (std::vector<std::wstring> { wide (makeBindingStub ("first")), wide (makeBindingStub ("second")) }));
}

// Scripts for documents to come apply only once the runtime reports them
// added; a page opened earlier would run without the bridge and its stubs.
TEST_F (BrowserCreation, aPageOpensOnlyOnceItsLateScriptsApply)
{
    standin_delay_document_scripts (20);

    WebView view { standinViewOptions() };
    view.bind ("first", [] (const value::ValueView&) { return value::Value(); });
    view.loadHTML ("<p>Set list</p>");

    EXPECT_TRUE (loggedTexts (L"NavigateToString").empty());
    ASSERT_TRUE (runMessagesUntil ([] { return ! loggedTexts (L"NavigateToString").empty(); }));

    std::vector<std::wstring> scripts;
    for (size_t index = 0; index < standin_document_script_count(); ++index)
        scripts.push_back (copiedText (
            [index] (wchar_t* buffer, size_t capacity) { return standin_document_script (index, buffer, capacity); }));

    EXPECT_EQ (scripts, (std::vector<std::wstring> { wide (bridgeScript), wide (makeBindingStub ("first")) }));
}

TEST_F (BrowserCreation, aViewWithoutResourceProviderNeitherFiltersNorNavigates)
{
    WebView view { standinViewOptions() };
    view.loadHTML ("<p>Set list</p>");

    EXPECT_TRUE (loggedTexts (L"AddWebResourceRequestedFilter").empty());
    EXPECT_TRUE (loggedTexts (L"add_WebResourceRequested").empty());
    EXPECT_TRUE (loggedTexts (L"Navigate").empty());
    EXPECT_EQ (loggedTexts (L"NavigateToString"), std::vector<std::wstring> { L"<p>Set list</p>" });
}

TEST_F (BrowserCreation, theProfileFolderIsNamedAfterTheRunningProgram)
{
    WebView view { standinViewOptions() };

    wchar_t path[MAX_PATH] {};
    GetModuleFileNameW (nullptr, path, MAX_PATH);
    std::wstring program (path);
    program = program.substr (program.rfind (L'\\') + 1);

    const auto creations = loggedTexts (L"CreateCoreWebView2EnvironmentWithOptions");
    ASSERT_EQ (creations.size(), 1u);
    const auto& folder = creations[0];
    ASSERT_GT (folder.size(), program.size());
    EXPECT_EQ (folder.substr (folder.size() - program.size() - 1), L"\\" + program);
}

// Every way the runtime can refuse leaves a view that exists, reports no
// browser, ignores scripts and tells the performer what went wrong: a
// runtime that the loader refuses at once is missing, one whose browser
// fails later is there but did not start.
void expectViewWithoutBrowser (WebView& view, std::wstring_view expectedNotice = browserNotStartedNotice)
{
    EXPECT_FALSE (view.isBrowserCreated());
    ASSERT_NE (viewWindowOf (view), nullptr);

    EXPECT_EQ (fallbackNoticeText (viewWindowOf (view)), std::wstring (expectedNotice));

    view.bind ("f", [] (const value::ValueView&) { return value::Value (1); });
    view.evaluateJavascript ("1");
    view.loadHTML ("<p></p>");
    EXPECT_TRUE (loggedTexts (L"AddScriptToExecuteOnDocumentCreated").empty());
    EXPECT_TRUE (loggedTexts (L"ExecuteScript").empty());
    EXPECT_TRUE (loggedTexts (L"NavigateToString").empty());
}

using FailedBrowserCreation = StandinTest;

TEST_F (FailedBrowserCreation, anEnvironmentCallThatFailsAtOnceLeavesNoBrowser)
{
    standin_fail_environment_call (static_cast<int32_t> (HRESULT_FROM_WIN32 (ERROR_FILE_NOT_FOUND)));

    WebView view { standinViewOptions() };

    expectViewWithoutBrowser (view, missingRuntimeNotice);
    EXPECT_EQ (standin_open_view_count(), 0);
}

TEST_F (FailedBrowserCreation, anEnvironmentThatFailsLaterEndsTheWait)
{
    standin_fail_environment_creation (static_cast<int32_t> (E_FAIL), 0);

    WebView view { standinViewOptions() };

    expectViewWithoutBrowser (view);
    EXPECT_TRUE (loggedTexts (L"CreateCoreWebView2Controller").empty());
}

TEST_F (FailedBrowserCreation, aMissingEnvironmentEndsTheWaitEvenWhenReportedAsSuccess)
{
    standin_fail_environment_creation (S_OK, 1);

    WebView view { standinViewOptions() };

    expectViewWithoutBrowser (view);
}

TEST_F (FailedBrowserCreation, aControllerThatFailsEndsTheWait)
{
    standin_fail_controller_creation (static_cast<int32_t> (E_FAIL), 0);

    WebView view { standinViewOptions() };

    expectViewWithoutBrowser (view);
    EXPECT_EQ (standin_open_view_count(), 0);
}

TEST_F (FailedBrowserCreation, aMissingControllerEndsTheWaitEvenWhenReportedAsSuccess)
{
    standin_fail_controller_creation (S_OK, 1);

    WebView view { standinViewOptions() };

    expectViewWithoutBrowser (view);
}

TEST_F (FailedBrowserCreation, aQuitDuringTheWaitGivesUpAndReportsItsExitCode)
{
    standin_delay_creation (5);
    PostThreadMessageW (GetCurrentThreadId(), WM_QUIT, 42, 0);

    WebView view { standinViewOptions() };

    EXPECT_FALSE (view.isBrowserCreated());
    ASSERT_TRUE (view.quitTakenDuringCreation().has_value());
    EXPECT_EQ (*view.quitTakenDuringCreation(), 42);

    // The browser that arrives after the view gave up is refused, not adopted.
    runPendingMessages();
    EXPECT_FALSE (view.isBrowserCreated());
    view.evaluateJavascript ("1");
    EXPECT_TRUE (loggedTexts (L"ExecuteScript").empty());
}

TEST_F (FailedBrowserCreation, aThreadInTheMultithreadedApartmentCannotHostTheBrowser)
{
    bool created = true;
    bool environmentRequested = true;
    std::wstring notice;

    std::thread worker ([&] {
        const HRESULT joined = CoInitializeEx (nullptr, COINIT_MULTITHREADED);
        {
            WebView view { standinViewOptions() };
            created = view.isBrowserCreated();
            environmentRequested = ! loggedTexts (L"CreateCoreWebView2EnvironmentWithOptions").empty();
            notice = fallbackNoticeText (viewWindowOf (view));
        }
        if (SUCCEEDED (joined))
            CoUninitialize();
    });
    worker.join();

    EXPECT_FALSE (created);
    EXPECT_FALSE (environmentRequested);
    EXPECT_EQ (notice, std::wstring (browserNotStartedNotice));
}

TEST_F (FailedBrowserCreation, aDestroyedViewLeavesTheThreadsApartmentAsItFoundIt)
{
    HRESULT afterwards = E_FAIL;

    std::thread worker ([&] {
        {
            WebView view { standinViewOptions() };
        }
        // Joining another apartment works only if the view left its own.
        afterwards = CoInitializeEx (nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED (afterwards))
            CoUninitialize();
    });
    worker.join();

    EXPECT_EQ (afterwards, S_OK);
}

using ViewDestruction = StandinTest;

TEST_F (ViewDestruction, leavesNoWindowClassRuntimeObjectOrMappedImageBehind)
{
    const int regionsBefore = privateExecutableRegions();
    HWND window = nullptr;
    std::wstring className;
    {
        WebView view { standinViewOptions() };
        view.bind ("f", [] (const value::ValueView&) { return value::Value(); });
        window = viewWindowOf (view);
        className = windowClassName (window);
        ASSERT_TRUE (classIsRegistered (className));
        EXPECT_GT (privateExecutableRegions(), regionsBefore);
        runPendingMessages();
    }
    runPendingMessages();

    EXPECT_FALSE (IsWindow (window));
    EXPECT_FALSE (classIsRegistered (className));
    EXPECT_EQ (standin_open_view_count(), 0);
    EXPECT_EQ (standin_live_object_count(), 0);
    EXPECT_EQ (privateExecutableRegions(), regionsBefore);
}

TEST_F (ViewDestruction, aViewThatGaveUpWaitingKeepsTheLoaderOnlyUntilTheRuntimeLetsTheLateBrowserGo)
{
    const int regionsBefore = privateExecutableRegions();
    standin_hold_creation();
    PostThreadMessageW (GetCurrentThreadId(), WM_QUIT, 0, 0);
    {
        WebView view { standinViewOptions() };
        EXPECT_FALSE (view.isBrowserCreated());
    }
    EXPECT_GT (privateExecutableRegions(), regionsBefore) << "the runtime still holds the loader's handler";

    // The runtime finishes its creation late, inside the loader's code; it
    // meets a detached handler and lets everything go, the loader last.
    standin_answer_held_creations();
    EXPECT_TRUE (runMessagesUntil ([] { return standin_held_creation_count() == 0; }));
    // The last release, and the loader's unmapping with it, may come a few
    // turns after the creation's answer.
    EXPECT_TRUE (runMessagesUntil ([regionsBefore] {
        return standin_live_object_count() == 0 && privateExecutableRegions() == regionsBefore;
    }));

    EXPECT_EQ (standin_open_view_count(), 0);
    EXPECT_EQ (standin_live_object_count(), 0);
    EXPECT_EQ (privateExecutableRegions(), regionsBefore);
}

bool creationGivenUp = false;

TEST_F (ViewDestruction, aCreationGivenUpByItsOwnerEndsTheWaitAndRefusesTheLateBrowser)
{
    standin_hold_creation();
    creationGivenUp = false;
    WebView::Options options = standinViewOptions();
    options.creationAbandoned = [] { return creationGivenUp; };

    // As a close box would, from a message that the wait dispatches.
    ASSERT_NE (SetTimer (nullptr, 0, 50,
                         [] (HWND, UINT, UINT_PTR timer, DWORD) {
                             KillTimer (nullptr, timer);
                             creationGivenUp = true;
                         }),
               0u);
    {
        WebView view (options);
        EXPECT_FALSE (view.isBrowserCreated());
        EXPECT_FALSE (view.quitTakenDuringCreation().has_value());
    }

    standin_answer_held_creations();
    EXPECT_TRUE (runMessagesUntil ([] { return standin_held_creation_count() == 0; }));
    runPendingMessages();
    EXPECT_EQ (standin_open_view_count(), 0);
    EXPECT_EQ (standin_live_object_count(), 0);
}

TEST_F (ViewDestruction, successiveViewsEachRegisterAClassOfTheirOwn)
{
    auto first = std::make_unique<WebView> (standinViewOptions());
    auto second = std::make_unique<WebView> (standinViewOptions());

    EXPECT_NE (windowClassName (viewWindowOf (*first)), windowClassName (viewWindowOf (*second)));
    EXPECT_EQ (standin_open_view_count(), 2);

    first.reset();
    EXPECT_TRUE (second->isBrowserCreated());
    EXPECT_EQ (standin_open_view_count(), 1);
}

} // namespace
} // namespace tunewell::ui::testing
