#include <objbase.h>

#include <algorithm>
#include <thread>

#include "standin_fixture.h"

namespace tunewell::standin::testing
{
namespace
{

class FailuresTest : public StandinTest
{
protected:
    /// Starts an environment and pumps until its handler ran; returns what
    /// the handler received (the environment is kept in `environment`).
    HRESULT completeEnvironment()
    {
        HRESULT received = S_FALSE;
        auto* handler = new EnvironmentHandler ([&] (HRESULT result, ICoreWebView2Environment* created) {
            received = result;
            environment = ui::ComRef<ICoreWebView2Environment>::share (created);
            return S_OK;
        });
        EXPECT_EQ (startEnvironment (handler), S_OK);
        EXPECT_TRUE (waitUntil ([&] { return handler->invocations > 0; }));
        handler->Release();
        return received;
    }

    HRESULT completeController (HWND parentWindow)
    {
        HRESULT received = S_FALSE;
        auto* handler = new ControllerHandler ([&] (HRESULT result, ICoreWebView2Controller* created) {
            received = result;
            controller = ui::ComRef<ICoreWebView2Controller>::share (created);
            return S_OK;
        });
        EXPECT_EQ (environment->CreateCoreWebView2Controller (parentWindow, handler), S_OK);
        EXPECT_TRUE (waitUntil ([&] { return handler->invocations > 0; }));
        handler->Release();
        return received;
    }
};

TEST_F (FailuresTest, AFailedCallNeverInvokesNorKeepsTheHandler)
{
    standin_fail_environment_call (E_ACCESSDENIED);
    bool deleted = false;
    auto* handler = new EnvironmentHandler ({}, &deleted);

    EXPECT_EQ (startEnvironment (handler), E_ACCESSDENIED);
    EXPECT_EQ (handler->references, 1u);
    pumpMessages();
    EXPECT_EQ (handler->invocations, 0);

    handler->Release();
    EXPECT_TRUE (deleted);
}

TEST_F (FailuresTest, EnvironmentCreationCanFailWithoutAnEnvironment)
{
    standin_fail_environment_creation (E_FAIL, 1);
    EXPECT_EQ (completeEnvironment(), E_FAIL);
    EXPECT_FALSE (environment);
}

TEST_F (FailuresTest, EnvironmentCanBeMissingDespiteSuccess)
{
    standin_fail_environment_creation (S_OK, 1);
    EXPECT_EQ (completeEnvironment(), S_OK);
    EXPECT_FALSE (environment);
}

TEST_F (FailuresTest, ControllerCreationCanFailWithOrWithoutAController)
{
    standin_fail_controller_creation (E_ABORT, 1);
    ASSERT_EQ (completeEnvironment(), S_OK);
    EXPECT_EQ (completeController (parent), E_ABORT);
    EXPECT_FALSE (controller);
    EXPECT_EQ (GetWindow (parent, GW_CHILD), nullptr) << "a failed creation leaves no content window";

    standin_fail_controller_creation (S_OK, 1);
    EXPECT_EQ (completeController (parent), S_OK);
    EXPECT_FALSE (controller);
}

TEST_F (FailuresTest, AnInvalidParentFailsThroughTheHandler)
{
    ASSERT_EQ (completeEnvironment(), S_OK);
    auto gone = CreateWindowExW (0, L"Static", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow (gone);

    EXPECT_EQ (completeController (gone), HRESULT_FROM_WIN32 (ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE (controller);
}

TEST_F (FailuresTest, DelayedCreationLeavesTheQueueIdleSoAQuitIsTakenFirst)
{
    standin_delay_creation (150);
    auto* handler = new EnvironmentHandler();
    ASSERT_EQ (startEnvironment (handler), S_OK);

    pumpMessages();
    EXPECT_EQ (handler->invocations, 0);

    // A delay that kept reposting itself would never let the queue run dry,
    // and the quit would wait behind the whole delay.
    PostQuitMessage (5);
    MSG message {};
    while (GetMessageW (&message, nullptr, 0, 0) > 0)
        DispatchMessageW (&message);

    EXPECT_EQ (message.message, static_cast<UINT> (WM_QUIT));
    EXPECT_EQ (message.wParam, 5u);
    EXPECT_EQ (handler->invocations, 0);
    EXPECT_TRUE (waitUntil ([&] { return handler->invocations > 0; }, 5000));
    handler->Release();
}

TEST_F (FailuresTest, AHeldCreationKeepsItsHandlerUntilAnsweredLate)
{
    standin_hold_creation();
    HRESULT answer = E_PENDING;
    bool deleted = false;
    auto* handler = new EnvironmentHandler (
        [&] (HRESULT result, ICoreWebView2Environment* created) {
            answer = created != nullptr ? result : E_POINTER;
            return S_OK;
        },
        &deleted);
    ASSERT_EQ (startEnvironment (handler), S_OK);
    handler->Release();

    EXPECT_FALSE (waitUntil ([&] { return deleted; }, 300));
    EXPECT_EQ (answer, E_PENDING);
    EXPECT_EQ (standin_held_creation_count(), 1);

    standin_answer_held_creations();
    EXPECT_TRUE (waitUntil ([&] { return deleted; }, 5000));
    EXPECT_EQ (answer, S_OK);
    EXPECT_EQ (standin_held_creation_count(), 0);
}

TEST_F (FailuresTest, AResetDropsAHeldCreationUnanswered)
{
    standin_hold_creation();
    int invocations = 0;
    bool deleted = false;
    auto* handler = new EnvironmentHandler (
        [&] (HRESULT, ICoreWebView2Environment*) {
            ++invocations;
            return S_OK;
        },
        &deleted);
    ASSERT_EQ (startEnvironment (handler), S_OK);
    handler->Release();
    standin_reset();

    EXPECT_TRUE (waitUntil ([&] { return deleted; }, 5000));
    EXPECT_EQ (invocations, 0);
    EXPECT_EQ (standin_held_creation_count(), 0);

    // A creation started after the reset is not held.
    auto* next = new EnvironmentHandler();
    ASSERT_EQ (startEnvironment (next), S_OK);
    EXPECT_TRUE (waitUntil ([&] { return next->invocations > 0; }, 5000));
    next->Release();
}

TEST_F (FailuresTest, NullArgumentsAreRefused)
{
    EXPECT_EQ (createEnvironment (nullptr, nullptr, nullptr, nullptr), E_POINTER);
    ASSERT_EQ (completeEnvironment(), S_OK);
    EXPECT_EQ (environment->CreateCoreWebView2Controller (parent, nullptr), E_POINTER);
    EXPECT_EQ (environment->CreateWebResourceResponse (nullptr, 200, L"OK", L"", nullptr), E_POINTER);
}

TEST_F (FailuresTest, ResetForgetsEveryPlannedFailure)
{
    standin_fail_environment_call (E_FAIL);
    standin_fail_controller_creation (E_FAIL, 1);
    standin_reset();

    createBrowser();
    EXPECT_TRUE (view);
}

TEST_F (FailuresTest, CreationOnAThreadOfTheMultithreadedApartmentFailsWithChangedMode)
{
    HRESULT refused = S_OK, accepted = S_FALSE;
    ULONG referencesAfterRefusal = 0;

    std::thread multithreaded ([&] {
        CoInitializeEx (nullptr, COINIT_MULTITHREADED);
        auto* handler = new EnvironmentHandler();
        refused = createEnvironment (nullptr, L"C:\\profile", nullptr, handler);
        referencesAfterRefusal = handler->references;

        standin_check_apartment (0);
        accepted = createEnvironment (nullptr, L"C:\\profile", nullptr, handler);
        if (accepted == S_OK)
            waitUntil ([&] { return handler->invocations > 0; });
        handler->Release();
        pumpMessages();
        CoUninitialize();
    });
    multithreaded.join();

    EXPECT_EQ (refused, RPC_E_CHANGED_MODE);
    EXPECT_EQ (referencesAfterRefusal, 1u);
    EXPECT_EQ (accepted, S_OK) << "switched off, the check lets the thread through";
}

TEST_F (FailuresTest, AHandlerThatRefusesQueryInterfaceIsRefusedAndNotKept)
{
    auto* environmentDone = new EnvironmentHandler();
    environmentDone->refusesQueries = true;
    EXPECT_EQ (startEnvironment (environmentDone), E_NOINTERFACE);
    EXPECT_EQ (environmentDone->references, 1u);
    environmentDone->Release();

    ASSERT_NO_FATAL_FAILURE (createBrowser());
    auto* controllerDone = new ControllerHandler();
    controllerDone->refusesQueries = true;
    EXPECT_EQ (environment->CreateCoreWebView2Controller (parent, controllerDone), E_NOINTERFACE);
    EXPECT_EQ (controllerDone->references, 1u);
    controllerDone->Release();

    auto* messages = new MessageHandler();
    messages->refusesQueries = true;
    EventRegistrationToken token {};
    EXPECT_EQ (view->add_WebMessageReceived (messages, &token), E_NOINTERFACE);
    ASSERT_EQ (standin_post_web_message (L"hello"), 0);
    pumpMessages();
    EXPECT_EQ (messages->invocations, 0);
    EXPECT_EQ (messages->references, 1u);

    auto log = readLog();
    EXPECT_EQ (std::count (log.begin(), log.end(),
                           LogEntry { L"HandlerRefused", L"{00000000-0000-0000-C000-000000000046}" }),
               3);

    standin_query_handlers (0);
    EXPECT_EQ (view->add_WebMessageReceived (messages, &token), S_OK) << "switched off, nobody asks";
    messages->Release();
}

TEST_F (FailuresTest, AProcessFailureIsRaisedByKindAndOnlyARenderersLeavesThePageDead)
{
    struct Case
    {
        int kind;
        bool pageDead;
        bool reportedAgain;
    };
    const Case cases[] { { 1, true, false },  { 2, true, true },   { 3, false, false }, { 4, false, false },
                         { 5, false, false }, { 6, false, false }, { 7, false, false }, { 9, false, false } };

    for (auto [kind, pageDead, reportedAgain] : cases)
    {
        SCOPED_TRACE (kind);
        standin_reset();
        controller.reset();
        view.reset();
        environment.reset();
        ASSERT_NO_FATAL_FAILURE (createBrowser());
        auto seen = static_cast<COREWEBVIEW2_PROCESS_FAILED_KIND> (-1);
        auto* failed = new ProcessFailedHandler ([&] (ICoreWebView2*, ICoreWebView2ProcessFailedEventArgs* args) {
            return args->get_ProcessFailedKind (&seen);
        });
        EventRegistrationToken token {};
        ASSERT_EQ (view->add_ProcessFailed (failed, &token), S_OK);
        ASSERT_TRUE (showDocument (L"<p>page</p>"));

        ASSERT_EQ (standin_fail_process (kind), 0);
        ASSERT_TRUE (waitUntil ([&] { return failed->invocations > (reportedAgain ? 2 : 0); }, 5000));
        EXPECT_EQ (seen, kind);
        ASSERT_EQ (view->ExecuteScript (L"setSongList(\"\")", nullptr), S_OK);
        EXPECT_EQ (documentScripts().empty(), pageDead) << "a dead page runs nothing";
        EXPECT_EQ (standin_open_view_count(), 1);

        // A navigation replaces the renderer; a hang's reports end with it.
        ASSERT_TRUE (showDocument (L"<p>reloaded</p>"));
        ASSERT_EQ (view->ExecuteScript (L"alive()", nullptr), S_OK);
        EXPECT_EQ (documentScripts(), std::vector<std::wstring> { L"alive()" });
        const int reports = failed->invocations;
        waitUntil ([] { return false; }, 300);
        EXPECT_EQ (failed->invocations, reports);
        failed->Release();
    }
}

TEST_F (FailuresTest, ABrowserProcessExitClosesItsControllersSoTheNextEnvironmentStartsAnother)
{
    ASSERT_NO_FATAL_FAILURE (createBrowser());
    auto* failed = new ProcessFailedHandler();
    EventRegistrationToken token {};
    ASSERT_EQ (view->add_ProcessFailed (failed, &token), S_OK);
    ASSERT_EQ (standin_running_browser_count(), 1);

    using ExitedHandler =
        FakeHandler<ICoreWebView2BrowserProcessExitedEventHandler, IID_ICoreWebView2BrowserProcessExitedEventHandler,
                    ICoreWebView2Environment*, ICoreWebView2BrowserProcessExitedEventArgs*>;
    auto exitKind = COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_NORMAL;
    auto* exited = new ExitedHandler (
        [&] (ICoreWebView2Environment*, ICoreWebView2BrowserProcessExitedEventArgs* args) {
            return args->get_BrowserProcessExitKind (&exitKind);
        });
    ui::ComRef<ICoreWebView2Environment5> environment5;
    ASSERT_EQ (environment->QueryInterface (IID_ICoreWebView2Environment5,
                                            reinterpret_cast<void**> (environment5.receive())),
               S_OK);
    ASSERT_EQ (environment5->add_BrowserProcessExited (exited, &token), S_OK);

    ASSERT_EQ (standin_fail_process (COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED), 0);
    ASSERT_TRUE (waitUntil ([&] { return failed->invocations > 0 && exited->invocations > 0; }, 5000));
    EXPECT_EQ (exitKind, COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_FAILED);
    environment5.reset();
    exited->Release();
    EXPECT_EQ (standin_open_view_count(), 0) << "the browser's exit takes its view with it";
    EXPECT_EQ (standin_running_browser_count(), 0);
    EXPECT_EQ (controller->put_IsVisible (TRUE), HRESULT_FROM_WIN32 (ERROR_INVALID_STATE));
    auto log = readLog();
    EXPECT_NE (std::find (log.begin(), log.end(), LogEntry { L"Close", L"browser process exited" }), log.end());
    EXPECT_TRUE (std::any_of (log.begin(), log.end(),
                              [] (const LogEntry& entry) { return entry.operation == L"BrowserProcessExited"; }));
    failed->Release();

    ASSERT_EQ (completeEnvironment(), S_OK);
    EXPECT_EQ (standin_browser_start_count(), 2);
}

TEST_F (FailuresTest, ANewRuntimeVersionIsAnnouncedAndRunOnlyByABrowserStartedAfterTheOldOneExited)
{
    ASSERT_NO_FATAL_FAILURE (createBrowser());
    using UpdateHandler =
        FakeHandler<ICoreWebView2NewBrowserVersionAvailableEventHandler,
                    IID_ICoreWebView2NewBrowserVersionAvailableEventHandler, ICoreWebView2Environment*, IUnknown*>;
    auto* told = new UpdateHandler();
    EventRegistrationToken token {};
    ASSERT_EQ (environment->add_NewBrowserVersionAvailable (told, &token), S_OK);

    const auto versionOf = [] (ICoreWebView2Environment* of) {
        LPWSTR text = nullptr;
        of->get_BrowserVersionString (&text);
        std::wstring version = text != nullptr ? text : L"";
        CoTaskMemFree (text);
        return version.substr (0, version.find (L' '));
    };

    const auto oldVersion = versionOf (environment.get());
    standin_new_browser_version();
    ASSERT_TRUE (waitUntil ([&] { return told->invocations > 0; }, 5000));
    told->Release();

    // Attached to the running browser: still the old version.
    ASSERT_EQ (completeEnvironment(), S_OK);
    EXPECT_EQ (versionOf (environment.get()), oldVersion);

    controller->Close();
    ASSERT_TRUE (waitUntil ([] { return standin_running_browser_count() == 0; }, 5000));
    ASSERT_EQ (completeEnvironment(), S_OK);
    EXPECT_NE (versionOf (environment.get()), oldVersion);
    EXPECT_EQ (standin_browser_start_count(), 2);
}
} // namespace
} // namespace tunewell::standin::testing
