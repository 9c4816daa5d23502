// How a showing ends: the close box, the page's close button, the host's own
// quit, and a browser that is slow or fails to start. In every case the
// host's thread comes back and no visible window is left without a loop;
// nor does the library leave anything behind when it is unloaded.

#include "chooser_session_win_test.h"

#include <algorithm>
#include <thread>

#include "text/utf16.h"
#include "webview/bridge_scripts.h"

namespace tunewell::testrig
{
namespace
{

using Ending = ChooserSession;

/// The browser has not been created yet: the window is up, no view is open.
bool browserStarting()
{
    return visibleChooserWindow() != nullptr && standin_open_view_count() == 0;
}

/// Where in the stand-in's log the chooser window was destroyed.
struct DestructionWatch
{
    DestructionWatch() : hook (SetWindowsHookExW (WH_CALLWNDPROC, record, nullptr, GetCurrentThreadId()))
    {
        active = this;
    }
    ~DestructionWatch()
    {
        UnhookWindowsHookEx (hook);
        active = nullptr;
    }

    HWND watched = nullptr;
    size_t logSizeAtDestruction = 0;
    bool destroyed = false;

    static LRESULT CALLBACK record (int code, WPARAM wParam, LPARAM lParam)
    {
        auto* message = reinterpret_cast<CWPSTRUCT*> (lParam);

        if (code == HC_ACTION && active != nullptr && message->message == WM_DESTROY
            && message->hwnd == active->watched)
        {
            active->destroyed = true;
            active->logSizeAtDestruction = standin_log_count();
        }

        return CallNextHookEx (nullptr, code, wParam, lParam);
    }

    HHOOK hook;
    static DestructionWatch* active;
};

DestructionWatch* DestructionWatch::active = nullptr;

/// The browser was last told that its view is not visible.
bool browserToldHidden()
{
    const auto visibility = loggedTexts (L"put_IsVisible");
    return ! visibility.empty() && visibility.back() == "0";
}

TEST_F (Ending, theCloseBoxHidesTheWindowAndGivesTheHostItsThreadBack)
{
    ShowingScript script;
    script.when ("the page", pageLoaded, clickCloseBox);
    runShowing (script);

    ASSERT_EQ (chooserWindows().size(), 1u);
    EXPECT_FALSE (IsWindowVisible (chooserWindows().front()));
    EXPECT_TRUE (browserToldHidden());
    EXPECT_EQ (takePendingQuit(), std::nullopt);
}

TEST_F (Ending, thePagesCloseButtonEndsTheShowingAndDestroysTheWindowOnlyAfterTheBrowsersCallback)
{
    const std::string call = R"({"id":5,"fn":"closeSongSelector","params":[]})";
    DestructionWatch watch;

    ShowingScript script;
    script.when ("the page", pageLoaded, [&] {
        watch.watched = visibleChooserWindow();
        standin_post_web_message (L"{\"id\":5,\"fn\":\"closeSongSelector\",\"params\":[]}");
    });
    runShowing (script);

    EXPECT_TRUE (chooserWindows().empty());
    EXPECT_EQ (takePendingQuit(), std::nullopt);
    EXPECT_TRUE (browserToldHidden());
    ASSERT_TRUE (watch.destroyed);

    // The reply and the browser's echo come from inside the callback.
    const size_t resolved = logPosition (L"ExecuteScript", ui::makeResolveScript (5, "null"));
    const size_t echoed = logPosition (L"PostWebMessageAsString", call);
    ASSERT_LT (resolved, standin_log_count());
    ASSERT_LT (echoed, standin_log_count());
    EXPECT_GT (watch.logSizeAtDestruction, echoed);
}

TEST_F (Ending, theHostsQuitEndsTheShowingAndIsPostedAgainWithItsExitCode)
{
    ShowingScript script;
    script.when ("the page", pageLoaded, [] { PostQuitMessage (5); });
    runShowing (script);

    EXPECT_EQ (takePendingQuit(), 5);
    EXPECT_EQ (visibleChooserWindow(), nullptr);
    EXPECT_EQ (chooserWindows().size(), 1u);
    EXPECT_TRUE (browserToldHidden());
}

TEST_F (Ending, theHostsQuitRightAfterItClosesTheChooserReachesTheHostsLoop)
{
    struct Case
    {
        const char* closing;
        std::function<void()> close;
        int exitCode;
    };
    const auto hostCloses = [] { library->OnClose(); };
    const auto closeBox = [] { SendMessageW (visibleChooserWindow(), WM_CLOSE, 0, 0); };

    // The window system keeps one quit per thread: a quit that the showing
    // posted for itself would merge with the host's.
    for (auto& [closing, close, exitCode] : { Case { "OnClose", hostCloses, 0 }, Case { "OnClose", hostCloses, 5 },
                                              Case { "close box", closeBox, 0 }, Case { "close box", closeBox, 5 } })
    {
        SCOPED_TRACE (std::string (closing) + ", then quit " + std::to_string (exitCode));
        library->VantorRegister (&TestHost::lookup, host.handle());

        ShowingScript script;
        script.when ("the page", pageLoaded, [&] {
            close();
            PostQuitMessage (exitCode);
        });
        runShowing (script);

        // The host's own loop; should its quit be lost, a timer ends it with
        // another exit code.
        const UINT_PTR timer = SetTimer (nullptr, 0, 5000, [] (HWND, UINT, UINT_PTR, DWORD) {
            PostQuitMessage (ShowingScript::abandonedExitCode);
        });
        MSG message {};
        while (GetMessageW (&message, nullptr, 0, 0) > 0)
            DispatchMessageW (&message);
        KillTimer (nullptr, timer);

        EXPECT_EQ (static_cast<int> (message.wParam), exitCode);
        EXPECT_EQ (visibleChooserWindow(), nullptr);
        EXPECT_TRUE (script.problems.empty());
    }
}

TEST_F (Ending, aRequestWhileTheChooserIsClosingOpensItAgainOnceClosed)
{
    // The close box and the next request within one message, before the
    // closing showing has taken its quit.
    ShowingScript script;
    script.when ("the page", pageLoaded, [] {
        SendMessageW (visibleChooserWindow(), WM_CLOSE, 0, 0);
        library->InvokeMenu (0);
        library->OnModeChanged (1);
    });
    script.whenOnTimer (
        "the page of the next showing",
        [] { return loggedTexts (L"NavigateToString").size() == 2 && visibleChooserWindow() != nullptr; },
        clickCloseBox);
    runShowing (script);

    EXPECT_EQ (loggedTexts (L"NavigateToString").size(), 2u);
    EXPECT_EQ (visibleChooserWindow(), nullptr);
    EXPECT_EQ (takePendingQuit(), std::nullopt);
}

TEST_F (Ending, theHostClosingTheExtensionDuringAShowingEndsIt)
{
    ShowingScript script;
    script.when ("the page", pageLoaded, [] { library->OnClose(); });
    runShowing (script);

    EXPECT_EQ (visibleChooserWindow(), nullptr);
    EXPECT_EQ (takePendingQuit(), std::nullopt);
}

TEST_F (Ending, theHostClosingTheExtensionCancelsAReopenAskedForWhileTheChooserWasClosing)
{
    ShowingScript script;
    script.when ("the page", pageLoaded, [] {
        SendMessageW (visibleChooserWindow(), WM_CLOSE, 0, 0);
        library->InvokeMenu (0);
        library->OnModeChanged (1);
        library->OnClose();
    });
    runShowing (script);

    EXPECT_EQ (loggedTexts (L"NavigateToString").size(), 1u);
    EXPECT_TRUE (chooserWindows().empty());
    EXPECT_EQ (standin_open_view_count(), 0);
}

TEST_F (Ending, registeringAgainDuringAShowingEndsItBeforeTheOldExtensionGoes)
{
    ShowingScript script;
    script.when ("the page", pageLoaded, [this] { library->VantorRegister (&TestHost::lookup, host.handle()); });
    runShowing (script);

    // The old extension has gone with its window and view.
    EXPECT_TRUE (chooserWindows().empty());
    EXPECT_EQ (standin_open_view_count(), 0);
    EXPECT_EQ (takePendingQuit(), std::nullopt);
}

TEST_F (Ending, theHostsQuitDuringBrowserCreationEndsTheShowingAndReachesTheHost)
{
    standin_delay_creation (400);

    ShowingScript script;
    // Posted as a message, so that it is taken before the stand-in's delayed
    // creation finishes, as a real browser's slower start would let a quit
    // from PostQuitMessage be taken.
    script.when ("the browser's creation", browserStarting,
                 [] { PostThreadMessageW (GetCurrentThreadId(), WM_QUIT, 7, 0); });
    runShowing (script);

    EXPECT_EQ (takePendingQuit(), 7);
    EXPECT_EQ (visibleChooserWindow(), nullptr);
    EXPECT_TRUE (loggedTexts (L"NavigateToString").empty());
}

TEST_F (Ending, theCloseBoxDuringBrowserCreationEndsTheShowingWithoutAQuitForTheHost)
{
    standin_delay_creation (400);

    ShowingScript script;
    script.when ("the browser's creation", browserStarting, clickCloseBox);
    runShowing (script);

    EXPECT_EQ (takePendingQuit(), std::nullopt);
    EXPECT_EQ (visibleChooserWindow(), nullptr);
    EXPECT_TRUE (loggedTexts (L"NavigateToString").empty());

    // The next request opens the chooser as usual, over a browser that starts
    // at once, while the abandoned one may still answer.
    standin_delay_creation (0);
    ShowingScript again;
    again.when ("the page", pageLoaded, clickCloseBox);
    runShowing (again);
    EXPECT_TRUE (again.allStepsRan());
}

/// The host's calls logged after the first call to this function.
std::vector<HostCall> callsAfterFirst (const TestHost& host, const std::string& function)
{
    auto first = std::find_if (host.calls.begin(), host.calls.end(),
                               [&] (const HostCall& call) { return call.function == function; });
    return first == host.calls.end() ? std::vector<HostCall> {} : std::vector<HostCall> (first + 1, host.calls.end());
}

TEST_F (Ending, theHostClosingTheExtensionInsideItsAnswerToAHiddenPagesCallLeavesNothingRunningOnTheDeletedExtension)
{
    struct Case
    {
        const char* hostFunction;
        const wchar_t* pageCall;
    };

    // A host whose song switch reloads its extensions, or one that closes
    // them while it is asked for a song's name.
    for (auto [hostFunction, pageCall] :
         { Case { "Vantor_SwitchToSong", L"{\"id\":7,\"fn\":\"selectSong\",\"params\":[1]}" },
           Case { "Vantor_GetSongName", L"{\"id\":7,\"fn\":\"getSongListFromVantor\",\"params\":[]}" } })
    {
        SCOPED_TRACE (hostFunction);
        standin_reset();
        library->VantorRegister (&TestHost::lookup, host.handle());
        ShowingScript script;
        script.when ("the page", pageLoaded, clickCloseBox);
        runShowing (script);
        ASSERT_EQ (visibleChooserWindow(), nullptr);

        host.clearLog();
        bool closed = false;
        host.onCall = [&, function = std::string (hostFunction)] (const HostCall& call) {
            if (call.function == function && ! closed)
            {
                closed = true;
                library->OnClose();
            }
        };
        ASSERT_EQ (standin_post_web_message (pageCall), 0);
        runPendingMessages();
        host.onCall = nullptr;

        EXPECT_TRUE (closed);
        EXPECT_TRUE (callsAfterFirst (host, hostFunction).empty()) << "the closed extension called the host";
        EXPECT_TRUE (chooserWindows().empty());
        EXPECT_EQ (standin_open_view_count(), 0);
    }
}

TEST_F (Ending, aCreationThatNeverCompletesEndsAtOnceAtTheCloseBoxOnCloseOrTheHostsQuitAndTheNextShowingOpens)
{
    struct Case
    {
        const char* ending;
        std::function<void()> end;
        std::optional<int> quitForHost;
    };
    const std::vector<Case> cases {
        { "the close box", clickCloseBox, std::nullopt },
        { "OnClose", [] { library->OnClose(); }, std::nullopt },
        { "the host's quit", [] { PostQuitMessage (6); }, 6 },
    };

    for (auto& [ending, end, quitForHost] : cases)
    {
        SCOPED_TRACE (ending);
        standin_reset();
        library->VantorRegister (&TestHost::lookup, host.handle());
        standin_hold_creation();

        ShowingScript script;
        script.whenOnTimer (
            "the browser's creation", [] { return browserStarting() && standin_held_creation_count() == 1; }, end);
        runShowing (script);

        EXPECT_TRUE (script.problems.empty());
        EXPECT_EQ (takePendingQuit(), quitForHost);
        EXPECT_EQ (visibleChooserWindow(), nullptr);

        // The runtime answers the abandoned creation late: it is refused, and
        // nothing of it stays open.
        standin_answer_held_creations();
        EXPECT_TRUE (waitFor ([] { return standin_held_creation_count() == 0 && standin_open_view_count() == 0; }))
            << standin_held_creation_count() << " creations held, " << standin_open_view_count() << " views open";

        library->VantorRegister (&TestHost::lookup, host.handle());
        ShowingScript again;
        again.when ("the page", pageLoaded, clickCloseBox);
        runShowing (again);
        EXPECT_TRUE (again.allStepsRan());
        EXPECT_EQ (takePendingQuit(), std::nullopt);
    }
}

constexpr const wchar_t* missingRuntimeNoticeStart = L"The song list needs the Microsoft Edge WebView2 Runtime";
constexpr const wchar_t* browserNotStartedNoticeStart =
    L"The song list's browser (Microsoft Edge WebView2) could not be started";
constexpr const wchar_t* browserStoppedNoticeStart =
    L"The song list's browser (Microsoft Edge WebView2) stopped and could not be restarted";
constexpr const wchar_t* runtimeChangingNoticeStart =
    L"The Microsoft Edge WebView2 Runtime is being updated or was uninstalled";

/// The profile folder's notice names the folder that the browser was given.
std::wstring profileFolderNoticeStart()
{
    auto folder = loggedTexts (L"CreateWebViewEnvironmentWithOptionsInternal");
    return L"The song list cannot write to its browser profile folder:\r\n"
         + text::utf8ToUtf16 (folder.empty() ? std::string() : folder.front());
}

/// Runs one showing that should find no browser: the window must come to
/// show the notice, and its close box must end the showing.
void expectNoticeThatTheCloseBoxEnds (ChooserSession& session, const std::function<std::wstring()>& noticeStart)
{
    ShowingScript script;
    script.when (
        "the notice",
        [noticeStart] {
            auto window = visibleChooserWindow();
            return window != nullptr && windowShowsText (window, noticeStart());
        },
        clickCloseBox);
    session.runShowing (script);

    EXPECT_TRUE (script.allStepsRan());
    EXPECT_EQ (takePendingQuit(), std::nullopt);
    EXPECT_EQ (visibleChooserWindow(), nullptr);
    EXPECT_EQ (standin_document_count(), 0);
}

/// Points Microsoft's loader at another runtime folder, or at none, while it
/// lives; the loader reads the variable at every creation.
class RuntimeFolder
{
public:
    explicit RuntimeFolder (const wchar_t* folder)
    {
        DWORD length = GetEnvironmentVariableW (variable, nullptr, 0);
        saved.resize (length);
        GetEnvironmentVariableW (variable, saved.data(), length);
        saved.resize (length > 0 ? length - 1 : 0);
        SetEnvironmentVariableW (variable, folder);
    }
    ~RuntimeFolder() { SetEnvironmentVariableW (variable, saved.empty() ? nullptr : saved.c_str()); }

private:
    static constexpr const wchar_t* variable = L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER";
    std::wstring saved;
};

TEST_F (Ending, aBrowserThatFailsToStartShowsTheNoticeInAWindowThatTheCloseBoxEnds)
{
    struct Failure
    {
        const char* name;
        std::function<void()> plan;
        std::function<std::wstring()> noticeStart;
    };
    const auto notice = [] (const wchar_t* start) { return [start] { return std::wstring (start); }; };
    const auto diskFull = HRESULT_FROM_WIN32 (ERROR_DISK_FULL);
    const auto uninstalled = HRESULT_FROM_WIN32 (ERROR_PRODUCT_UNINSTALLED);
    // A runtime that refuses the loader's call at once is one it cannot use,
    // unless the refusal names another cause.
    const std::vector<Failure> failures {
        { "environment call", [] { standin_fail_environment_call (E_FAIL); }, notice (missingRuntimeNoticeStart) },
        { "environment creation", [] { standin_fail_environment_creation (E_FAIL, 0); },
          notice (browserNotStartedNoticeStart) },
        { "null environment", [] { standin_fail_environment_creation (S_OK, 1); },
          notice (browserNotStartedNoticeStart) },
        { "controller creation", [] { standin_fail_controller_creation (E_FAIL, 0); },
          notice (browserNotStartedNoticeStart) },
        { "null controller", [] { standin_fail_controller_creation (S_OK, 1); },
          notice (browserNotStartedNoticeStart) },
        // Microsoft's loader reports any failed completion as
        // ERROR_FILE_NOT_FOUND; these causes come as the call's result.
        { "profile folder denied", [] { standin_fail_environment_call (E_ACCESSDENIED); }, profileFolderNoticeStart },
        { "disk full", [=] { standin_fail_environment_call (diskFull); }, profileFolderNoticeStart },
        { "runtime uninstalled", [=] { standin_fail_environment_call (uninstalled); },
          notice (runtimeChangingNoticeStart) },
    };

    for (auto& [name, plan, noticeStart] : failures)
    {
        SCOPED_TRACE (name);
        standin_reset();
        plan();
        expectNoticeThatTheCloseBoxEnds (*this, noticeStart);
        // Microsoft's loader handed the creation to the runtime it found (and
        // calls it a second time when the first call fails at once).
        EXPECT_FALSE (loggedTexts (L"CreateWebViewEnvironmentWithOptionsInternal").empty());
    }
}

TEST_F (Ending, aRuntimeThatMicrosoftsLoaderCannotUseOrFindShowsTheNotice)
{
    {
        SCOPED_TRACE ("a runtime DLL without the creation export");
        RuntimeFolder folder (TUNEWELL_RUNTIME_WITHOUT_ENTRY_FOLDER);
        expectNoticeThatTheCloseBoxEnds (*this, [] { return std::wstring (missingRuntimeNoticeStart); });
    }
    {
        SCOPED_TRACE ("no runtime at all");
        RuntimeFolder folder (nullptr);
        expectNoticeThatTheCloseBoxEnds (*this, [] { return std::wstring (missingRuntimeNoticeStart); });
    }

    EXPECT_EQ (standin_log_count(), 0u);

    // The runtime is found again once the variable names it.
    ShowingScript again;
    again.when ("the page", pageLoaded, clickCloseBox);
    runShowing (again);
    EXPECT_TRUE (again.allStepsRan());
}

/// The browser process as Microsoft documents it, with small delays: a cold
/// start and quick attaches, controllers that close with their parent
/// window, an exit a while after the last controller closed, and scripts for
/// documents to come that apply late.
void planDocumentedBrowser (int creationDuringExit)
{
    standin_plan_browser_process (40, 5, 400, creationDuringExit);
    standin_close_controllers_with_parent (1);
    standin_delay_document_scripts (10);
}

void postFromPage (const wchar_t* message)
{
    EXPECT_GE (standin_post_web_message (message), 0);
}

/// The page's call for the song list (id 1) has been answered.
bool songListResolved()
{
    const auto probe = ui::makeResolveScript (1, "@");
    const auto prefix = probe.substr (0, probe.find ('@'));

    for (auto& script : loggedTexts (L"ExecuteScript"))
        if (script.rfind (prefix, 0) == 0)
            return true;

    return false;
}

/// The scripts that the current page began with.
std::vector<std::string> documentScripts()
{
    std::vector<std::string> scripts;

    for (size_t index = 0; index < standin_document_script_count(); ++index)
    {
        std::wstring script (standin_document_script (index, nullptr, 0), L'\0');
        standin_document_script (index, script.data(), script.size() + 1);
        scripts.push_back (text::utf16ToUtf8 (script));
    }

    return scripts;
}

void runShowingThatListsTheSongs (ChooserSession& session)
{
    const size_t earlierPages = loggedTexts (L"NavigateToString").size();

    ShowingScript script;
    script.whenOnTimer (
        "the page",
        [earlierPages] {
            return visibleChooserWindow() != nullptr && loggedTexts (L"NavigateToString").size() > earlierPages;
        },
        [] { postFromPage (LR"({"id":1,"fn":"getSongListFromVantor","params":[]})"); });
    std::vector<std::string> scripts;
    script.whenOnTimer ("the list", songListResolved, [&scripts] {
        scripts = documentScripts();
        clickCloseBox();
    });
    session.runShowing (script);

    EXPECT_TRUE (script.allStepsRan());

    // The page began with the bridge and the three stubs, so its own calls
    // reach the library.
    const std::vector<std::string> expected { std::string (ui::bridgeScript),
                                              ui::makeBindingStub ("getSongListFromVantor"),
                                              ui::makeBindingStub ("closeSongSelector"),
                                              ui::makeBindingStub ("selectSong") };
    scripts.resize (std::min (scripts.size(), expected.size()));
    EXPECT_EQ (scripts, expected);
}

using Reopening = ChooserSession;

TEST_F (Reopening, rightAfterTheCloseBoxOrThePagesCloseButtonTheNextShowingListsTheSongsOnTheRunningBrowser)
{
    const std::vector<std::pair<const char*, std::function<void()>>> endings {
        { "close box", clickCloseBox },
        { "page's close button", [] { postFromPage (LR"({"id":2,"fn":"closeSongSelector","params":[]})"); } },
    };

    for (auto& [name, end] : endings)
    {
        SCOPED_TRACE (name);
        standin_reset();
        planDocumentedBrowser (STANDIN_EXIT_RACE_FAILS);

        ShowingScript first;
        first.whenOnTimer (
            "the first page",
            [] { return visibleChooserWindow() != nullptr && ! loggedTexts (L"NavigateToString").empty(); }, end);
        runShowing (first);
        ASSERT_TRUE (first.allStepsRan());

        // At once: well inside the exit the browser would begin if the first
        // showing had let its last controller go.
        runShowingThatListsTheSongs (*this);

        EXPECT_EQ (standin_browser_start_count(), 1);
        EXPECT_EQ (standin_open_view_count(), 1);
    }
}

TEST_F (Reopening, aRuntimeUpdateLetsTheOldBrowserExitSoThatTheNextShowingStartsANewOne)
{
    for (bool duringShowing : { false, true })
    {
        SCOPED_TRACE (duringShowing ? "during a showing" : "between showings");
        standin_reset();

        ShowingScript first;
        if (duringShowing)
        {
            first.when ("the page", pageLoaded, [] { standin_new_browser_version(); });
            // Never closed for an update: the page stays until the close box.
            first.when (
                "the update", [] { return ! loggedTexts (L"NewBrowserVersionAvailable").empty(); },
                [] {
                    runPendingMessages();
                    EXPECT_NE (visibleChooserWindow(), nullptr);
                    EXPECT_EQ (standin_open_view_count(), 1);
                    clickCloseBox();
                });
        }
        else
            first.when ("the page", pageLoaded, clickCloseBox);
        runShowing (first);
        ASSERT_TRUE (first.allStepsRan());

        if (! duringShowing)
            standin_new_browser_version();

        // The view kept for a fast reopen goes, and with it the old browser.
        EXPECT_TRUE (waitFor ([] { return standin_running_browser_count() == 0; }));
        EXPECT_EQ (standin_open_view_count(), 0);

        runShowingThatListsTheSongs (*this);
        EXPECT_EQ (standin_browser_start_count(), 2);
    }
}

TEST_F (Reopening, aCreationThatRacesTheBrowsersExitShowsTheNoticeOrEndsOnTheCloseBox)
{
    for (int race : { STANDIN_EXIT_RACE_FAILS, STANDIN_EXIT_RACE_HANGS })
    {
        SCOPED_TRACE (race == STANDIN_EXIT_RACE_FAILS ? "fails" : "hangs");
        standin_reset();
        planDocumentedBrowser (race);

        ShowingScript first;
        first.whenOnTimer (
            "the first page",
            [] { return visibleChooserWindow() != nullptr && ! loggedTexts (L"NavigateToString").empty(); },
            clickCloseBox);
        runShowing (first);

        // A new extension: the old one goes, and with its view the browser's
        // last controller, so the browser begins to exit.
        library->VantorRegister (&TestHost::lookup, host.handle());
        ASSERT_EQ (standin_open_view_count(), 0);

        // The browser's delays run on timers, which posted turns would hold back.
        ShowingScript during;
        if (race == STANDIN_EXIT_RACE_FAILS)
            during.whenOnTimer (
                "the notice",
                [] {
                    auto window = visibleChooserWindow();
                    return window != nullptr && windowShowsText (window, browserNotStartedNoticeStart);
                },
                clickCloseBox);
        else
            during.whenOnTimer (
                "the held creation", [] { return standin_held_creation_count() == 1; }, clickCloseBox);
        runShowing (during);

        EXPECT_TRUE (during.allStepsRan());
        EXPECT_EQ (takePendingQuit(), std::nullopt);
        EXPECT_EQ (visibleChooserWindow(), nullptr);

        // The creation given up on lets go of the loader once answered.
        standin_answer_held_creations();
        EXPECT_TRUE (waitFor ([] { return standin_held_creation_count() == 0; }));
    }
}

/// The page's call with this id has been answered.
bool pageCallAnswered (int id)
{
    const auto probe = ui::makeResolveScript (id, "@");
    const auto prefix = probe.substr (0, probe.find ('@'));
    const auto scripts = loggedTexts (L"ExecuteScript");
    return std::any_of (scripts.begin(), scripts.end(),
                        [&prefix] (const std::string& script) { return script.rfind (prefix, 0) == 0; });
}

size_t pagesOpened()
{
    return loggedTexts (L"NavigateToString").size();
}

TEST_F (Ending, aFailedProcessOfTheBrowserLeavesTheSongListWorkingInTheOpenWindow)
{
    enum class Seen
    {
        samePage,
        reloadedPage,
        recreatedBrowser
    };
    struct Case
    {
        int kind;
        Seen seen;
    };
    // 0 the browser process, 1 the renderer exited, 2 it hangs, 3 a
    // subframe's renderer, 4 utility, 5 sandbox helper, 6 GPU, 7 and 8
    // plug-ins, 9 unknown.
    const Case cases[] { { 6, Seen::samePage },     { 3, Seen::samePage },     { 4, Seen::samePage },
                         { 5, Seen::samePage },     { 7, Seen::samePage },     { 9, Seen::samePage },
                         { 1, Seen::reloadedPage }, { 2, Seen::reloadedPage }, { 0, Seen::recreatedBrowser } };

    for (auto [kind, seen] : cases)
    {
        SCOPED_TRACE (kind);
        standin_reset();
        size_t pagesBefore = 0;

        ShowingScript script;
        script.when ("the page", pageLoaded, [&pagesBefore, kind = kind] {
            pagesBefore = pagesOpened();
            ASSERT_EQ (standin_fail_process (kind), 0);
        });
        script.when (
            "the page after the failure",
            [&pagesBefore, seen = seen] {
                if (loggedTexts (L"ProcessFailed").empty() || standin_open_view_count() != 1)
                    return false;
                return seen == Seen::samePage || pagesOpened() == pagesBefore + 1;
            },
            [] { postFromPage (LR"({"id":4,"fn":"getSongListFromVantor","params":[]})"); });
        script.when (
            "the list", [] { return pageCallAnswered (4); },
            [] {
                EXPECT_FALSE (windowShowsText (visibleChooserWindow(), L"The song list"));
                clickCloseBox();
            });
        runShowing (script);

        EXPECT_TRUE (script.allStepsRan());
        EXPECT_EQ (takePendingQuit(), std::nullopt);
        EXPECT_EQ (standin_browser_start_count(), seen == Seen::recreatedBrowser ? 2 : 1);
        EXPECT_EQ (pagesOpened(), pagesBefore + (seen == Seen::samePage ? 0 : 1));
        if (seen == Seen::recreatedBrowser)
        {
            EXPECT_EQ (loggedTexts (L"BrowserProcessExited").size(), 1u);
            // The new browser's page began with the bridge and the three stubs.
            auto scripts = documentScripts();
            scripts.resize (std::min<size_t> (scripts.size(), 4));
            EXPECT_EQ (scripts, (std::vector<std::string> {
                                    std::string (ui::bridgeScript), ui::makeBindingStub ("getSongListFromVantor"),
                                    ui::makeBindingStub ("closeSongSelector"), ui::makeBindingStub ("selectSong") }));
        }
    }
}

TEST_F (Ending, aBrowserThatCannotBeRestartedOrKeepsDyingEndsInTheNoticeWhichTheCloseBoxEnds)
{
    const std::vector<std::pair<const char*, int>> cases { { "its recreation fails", 1 }, { "it keeps dying", 4 } };

    for (auto& [name, deaths] : cases)
    {
        SCOPED_TRACE (name);
        standin_reset();
        const bool recreationFails = deaths == 1;
        int died = 0;

        ShowingScript script;
        script.when (
            "a page to fail",
            [&died] { return visibleChooserWindow() != nullptr && pagesOpened() == static_cast<size_t> (died + 1); },
            [&] {
                if (recreationFails)
                    standin_fail_environment_creation (E_FAIL, 0);
                ASSERT_EQ (standin_fail_process (0), 0);
                ++died;
            });
        for (int death = 1; death < deaths; ++death)
            script.when (
                "a recreated page to fail",
                [&died] { return standin_open_view_count() == 1 && pagesOpened() == static_cast<size_t> (died + 1); },
                [&died] {
                    ASSERT_EQ (standin_fail_process (0), 0);
                    ++died;
                });
        script.when (
            "the notice",
            [] {
                auto window = visibleChooserWindow();
                return window != nullptr && windowShowsText (window, browserStoppedNoticeStart);
            },
            clickCloseBox);
        runShowing (script);

        EXPECT_TRUE (script.allStepsRan());
        EXPECT_EQ (takePendingQuit(), std::nullopt);
        // Three recreations at most, then no more.
        EXPECT_EQ (standin_browser_start_count(), recreationFails ? 2 : 4);
    }
}

/// Windows of this thread whose class is one of the library's.
std::vector<HWND> libraryWindowsOfThisThread()
{
    std::vector<HWND> windows;
    EnumThreadWindows (
        GetCurrentThreadId(),
        [] (HWND window, LPARAM found) {
            char name[64] {};
            GetClassNameA (window, name, sizeof (name));
            const std::string className = name;

            for (const char* prefix : { "tunewell_", "TunewellWindow", "TunewellWebView" })
                if (className.rfind (prefix, 0) == 0)
                    reinterpret_cast<std::vector<HWND>*> (found)->push_back (window);

            return TRUE;
        },
        reinterpret_cast<LPARAM> (&windows));
    return windows;
}

// Not a ChooserSession, whose suite keeps the library loaded: here releasing
// it unloads it.
TEST (Unloading, onAnotherThreadLeavesNoCodeOfTheLibraryToTheThreadThatShowedTheChooser)
{
    auto library = std::make_unique<TunewellLibrary> (TUNEWELL_LIBRARY_FILE);
    ASSERT_TRUE (library->library.isLoaded());
    standin_reset();
    TestHost host;
    library->VantorRegister (&TestHost::lookup, host.handle());

    ShowingScript script;
    script.when (
        "the page", [] { return visibleChooserWindow() != nullptr && ! loggedTexts (L"NavigateToString").empty(); },
        clickCloseBox);
    script.start();
    library->InvokeMenu (0);
    library->OnModeChanged (1);
    script.stop();
    library->OnClose();
    ASSERT_TRUE (script.problems.empty());
    ASSERT_NE (GetModuleHandleW (L"tunewell.dll"), nullptr);

    std::thread ([&library] { library.reset(); }).join();
    ASSERT_EQ (GetModuleHandleW (L"tunewell.dll"), nullptr) << "the library stayed loaded";

    // Anything of the library left to this thread would run unmapped code now.
    runPendingMessages();

    EXPECT_TRUE (libraryWindowsOfThisThread().empty());
    standin_reset();
}

TEST (Unloading, whileTheRuntimeHoldsAnAbandonedCreationKeepsTheLibraryUntilTheRuntimeLetsGo)
{
    auto library = std::make_unique<TunewellLibrary> (TUNEWELL_LIBRARY_FILE);
    ASSERT_TRUE (library->library.isLoaded());
    standin_reset();
    TestHost host;
    library->VantorRegister (&TestHost::lookup, host.handle());
    standin_hold_creation();
    // Without a start delay the answer follows the hold's end at once.
    standin_plan_browser_process (0, 0, 100, STANDIN_EXIT_RACE_FAILS);

    ShowingScript script;
    script.when (
        "the held creation", [] { return standin_held_creation_count() == 1; }, clickCloseBox);
    script.start();
    library->InvokeMenu (0);
    library->OnModeChanged (1);
    script.stop();
    library->OnClose();
    library.reset();
    ASSERT_TRUE (script.problems.empty());
    ASSERT_NE (GetModuleHandleW (L"tunewell.dll"), nullptr) << "unloaded under the runtime's handler";

    // The runtime answers, and lets go of the handler and of everything it
    // made for it, after the unload.
    standin_answer_held_creations();
    EXPECT_TRUE (waitFor ([] { return standin_held_creation_count() == 0; }));
    runPendingMessages();
    EXPECT_EQ (standin_open_view_count(), 0);

    // The host's next load and call lets the library go for good.
    {
        TunewellLibrary again (TUNEWELL_LIBRARY_FILE);
        again.VantorRegister (&TestHost::lookup, host.handle());
        again.OnClose();
    }
    EXPECT_EQ (GetModuleHandleW (L"tunewell.dll"), nullptr);
    standin_reset();
}

TEST (Unloading, rightAfterALatePageCloseButtonLeavesNoWindowOfTheLibraryBehind)
{
    auto library = std::make_unique<TunewellLibrary> (TUNEWELL_LIBRARY_FILE);
    ASSERT_TRUE (library->library.isLoaded());
    standin_reset();
    TestHost host;
    library->VantorRegister (&TestHost::lookup, host.handle());

    ShowingScript script;
    script.when (
        "the page", [] { return visibleChooserWindow() != nullptr && ! loggedTexts (L"NavigateToString").empty(); },
        clickCloseBox);
    script.start();
    library->InvokeMenu (0);
    library->OnModeChanged (1);
    script.stop();
    ASSERT_TRUE (script.problems.empty());

    // The page's close button after the showing has ended; in the very next
    // message the host closes the extension and unloads the library.
    ASSERT_EQ (standin_post_web_message (L"{\"id\":3,\"fn\":\"closeSongSelector\",\"params\":[]}"), 0);
    const size_t echoes = loggedTexts (L"PostWebMessageAsString").size();
    MSG message {};
    while (loggedTexts (L"PostWebMessageAsString").size() == echoes && GetMessageW (&message, nullptr, 0, 0) > 0)
        DispatchMessageW (&message);

    library->OnClose();
    library.reset();
    ASSERT_EQ (GetModuleHandleW (L"tunewell.dll"), nullptr) << "the library stayed loaded";

    // Anything of the library left now would run unmapped code.
    runPendingMessages();
    EXPECT_TRUE (libraryWindowsOfThisThread().empty());
    EnumThreadWindows (
        GetCurrentThreadId(),
        [] (HWND window, LPARAM) {
            wchar_t text[64] {};
            GetWindowTextW (window, text, 64);
            return TRUE;
        },
        0);
    standin_reset();
}

} // namespace
} // namespace tunewell::testrig
