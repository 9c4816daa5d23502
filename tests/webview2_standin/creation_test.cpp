#include <algorithm>
#include <thread>

#include "standin_fixture.h"

namespace tunewell::standin::testing
{
namespace
{

using CreationTest = StandinTest;

TEST_F (CreationTest, EnvironmentCompletesOnlyWhenTheCreatingThreadPumpsMessages)
{
    ICoreWebView2Environment* received = nullptr;
    HRESULT receivedResult = E_FAIL;
    auto* handler = new EnvironmentHandler ([&] (HRESULT result, ICoreWebView2Environment* created) {
        receivedResult = result;
        received = created;
        return S_OK;
    });

    ASSERT_EQ (startEnvironment (handler), S_OK);
    EXPECT_EQ (handler->invocations, 0);

    ASSERT_TRUE (waitUntil ([&] { return handler->invocations > 0; }));
    EXPECT_EQ (handler->invocations, 1);
    EXPECT_EQ (handler->invokingThread, GetCurrentThreadId());
    EXPECT_EQ (receivedResult, S_OK);
    EXPECT_NE (received, nullptr);

    pumpMessages();
    EXPECT_EQ (handler->invocations, 1) << "a completion handler runs once";
    handler->Release();
}

TEST_F (CreationTest, HandlersAreKeptUntilTheyRanAndReleasedAfterwards)
{
    bool deleted = false;
    auto* handler = new EnvironmentHandler ({}, &deleted);

    ASSERT_EQ (startEnvironment (handler), S_OK);
    EXPECT_EQ (handler->references, 2u) << "the runtime keeps the handler while creation is pending";

    // The caller may let go first; the runtime's reference keeps it alive.
    handler->Release();
    EXPECT_FALSE (deleted);

    EXPECT_TRUE (waitUntil ([&] { return deleted; })) << "the runtime's Release is the last one once the handler ran";
}

TEST_F (CreationTest, ObjectPassedToAHandlerLivesOnlyAsLongAsSomebodyHoldsIt)
{
    auto* handler = new EnvironmentHandler();
    ASSERT_EQ (startEnvironment (handler), S_OK);
    ASSERT_TRUE (waitUntil ([&] { return handler->invocations > 0; }));
    pumpMessages();
    handler->Release();

    EXPECT_EQ (standin_live_object_count(), 0) << "an environment that nobody kept is gone after the call";
}

TEST_F (CreationTest, ControllerCompletesInALaterTurnWithAViewInside)
{
    auto* environmentDone = new EnvironmentHandler ([this] (HRESULT, ICoreWebView2Environment* created) {
        environment = ui::ComRef<ICoreWebView2Environment>::share (created);
        return S_OK;
    });
    ASSERT_EQ (startEnvironment (environmentDone), S_OK);
    ASSERT_TRUE (waitUntil ([&] { return environmentDone->invocations > 0; }));
    environmentDone->Release();
    ASSERT_TRUE (environment);

    HRESULT receivedResult = E_FAIL;
    bool deleted = false;
    auto* controllerDone = new ControllerHandler (
        [&] (HRESULT result, ICoreWebView2Controller* created) {
            receivedResult = result;
            controller = ui::ComRef<ICoreWebView2Controller>::share (created);
            return S_OK;
        },
        &deleted);
    ASSERT_EQ (environment->CreateCoreWebView2Controller (parent, controllerDone), S_OK);
    EXPECT_EQ (controllerDone->invocations, 0);
    EXPECT_EQ (controllerDone->references, 2u);
    controllerDone->Release();

    pumpMessages();
    EXPECT_TRUE (deleted);
    EXPECT_EQ (receivedResult, S_OK);
    ASSERT_TRUE (controller);

    ICoreWebView2* first = nullptr;
    ICoreWebView2* second = nullptr;
    ASSERT_EQ (controller->get_CoreWebView2 (&first), S_OK);
    ASSERT_EQ (controller->get_CoreWebView2 (&second), S_OK);
    EXPECT_EQ (first, second) << "one controller has one view";
    first->Release();
    second->Release();
}

TEST_F (CreationTest, ReleasingEveryReferenceInTheHostsOrderDestroysEverything)
{
    createBrowser();
    ASSERT_TRUE (view);
    EXPECT_GT (standin_live_object_count(), 0);
    EXPECT_EQ (standin_open_view_count(), 1);

    view.reset();
    controller.reset();
    environment.reset();

    EXPECT_EQ (standin_live_object_count(), 0);
    EXPECT_EQ (standin_open_view_count(), 0);
}

TEST_F (CreationTest, EachThreadGetsItsCallbacksOnItself)
{
    DWORD creatingThread = 0;
    DWORD invokingThread = 0;

    std::thread other ([&] {
        creatingThread = GetCurrentThreadId();
        auto* handler = new EnvironmentHandler();
        if (createEnvironment (nullptr, L"C:\\profile", nullptr, handler) == S_OK)
            waitUntil ([&] { return handler->invocations > 0; });
        invokingThread = handler->invokingThread;
        handler->Release();
        pumpMessages();
    });
    other.join();

    EXPECT_EQ (invokingThread, creatingThread);
    EXPECT_EQ (standin_live_object_count(), 0);
}

TEST_F (CreationTest, CreationIsRecordedWithTheUserDataFolder)
{
    createBrowser();

    auto log = readLog();
    ASSERT_GE (log.size(), 2u);
    EXPECT_EQ (log[0], (LogEntry { L"CreateCoreWebView2EnvironmentWithOptions", L"C:\\profile" }));
    EXPECT_EQ (log[1].operation, L"CreateCoreWebView2Controller");
}

TEST_F (CreationTest, APlannedControllerClosesByItselfWhenItsParentWindowIsDestroyed)
{
    standin_close_controllers_with_parent (1);
    createBrowser();
    ASSERT_EQ (standin_open_view_count(), 1);

    DestroyWindow (parent);
    parent = nullptr;

    EXPECT_EQ (standin_open_view_count(), 0);
    EXPECT_EQ (controller->put_Bounds (RECT { 0, 0, 10, 10 }), HRESULT_FROM_WIN32 (ERROR_INVALID_STATE));
    auto log = readLog();
    EXPECT_NE (std::find (log.begin(), log.end(), LogEntry { L"Close", L"parent window destroyed" }), log.end());
}
class BrowserProcessTest : public StandinTest
{
protected:
    /// Starts an environment on a folder and waits for its handler: the
    /// result it was told, E_PENDING when it never ran.
    HRESULT environmentResult (const wchar_t* folder)
    {
        HRESULT told = E_PENDING;
        auto* handler = new EnvironmentHandler ([&] (HRESULT result, ICoreWebView2Environment* created) {
            told = created != nullptr || FAILED (result) ? result : E_POINTER;
            return S_OK;
        });
        if (startEnvironment (handler, folder) == S_OK)
            waitUntil ([&] { return handler->invocations > 0; }, 5000);
        handler->Release();
        return told;
    }
};

TEST_F (BrowserProcessTest, EnvironmentsOfOneFolderShareOneBrowserThatStartsColdOnce)
{
    standin_plan_browser_process (20, 5, 0, STANDIN_EXIT_RACE_FAILS);
    createBrowser();
    EXPECT_EQ (standin_browser_start_count(), 1);

    EXPECT_EQ (environmentResult (L"c:\\PROFILE"), S_OK);
    EXPECT_EQ (standin_browser_start_count(), 1) << "the same folder attaches to the running browser";

    EXPECT_EQ (environmentResult (L"C:\\other profile"), S_OK);
    EXPECT_EQ (standin_browser_start_count(), 2);
    EXPECT_EQ (standin_running_browser_count(), 2);
}

TEST_F (BrowserProcessTest, ACreationDuringTheBrowsersExitFailsAndAColdStartFollowsTheExit)
{
    standin_plan_browser_process (0, 0, 150, STANDIN_EXIT_RACE_FAILS);
    createBrowser();
    ASSERT_EQ (controller->Close(), S_OK);

    EXPECT_EQ (environmentResult (L"C:\\profile"), HRESULT_FROM_WIN32 (ERROR_INVALID_STATE));
    EXPECT_EQ (standin_running_browser_count(), 1) << "still exiting";

    auto* controllerDone = new ControllerHandler();
    ASSERT_EQ (environment->CreateCoreWebView2Controller (parent, controllerDone), S_OK);
    ASSERT_TRUE (waitUntil ([&] { return controllerDone->invocations > 0; }, 5000));
    controllerDone->Release();
    EXPECT_EQ (standin_open_view_count(), 0) << "an exiting browser makes no controller";

    ASSERT_TRUE (waitUntil ([] { return standin_running_browser_count() == 0; }, 5000));
    EXPECT_EQ (environmentResult (L"C:\\profile"), S_OK);
    EXPECT_EQ (standin_browser_start_count(), 2);
}

TEST_F (BrowserProcessTest, ACreationDuringTheBrowsersExitPlannedToHangNeverCompletes)
{
    standin_plan_browser_process (0, 0, 150, STANDIN_EXIT_RACE_HANGS);
    createBrowser();
    ASSERT_EQ (controller->Close(), S_OK);

    bool deleted = false;
    auto* handler = new EnvironmentHandler ({}, &deleted);
    ASSERT_EQ (startEnvironment (handler), S_OK);
    handler->Release();

    EXPECT_FALSE (waitUntil ([&] { return deleted; }, 400));
    EXPECT_EQ (standin_held_creation_count(), 1);
    EXPECT_EQ (standin_running_browser_count(), 0) << "the exit went on meanwhile";

    standin_reset();
    EXPECT_TRUE (waitUntil ([&] { return deleted; }, 5000));
}

} // namespace
} // namespace tunewell::standin::testing
