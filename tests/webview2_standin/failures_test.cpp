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
            environment = Ref<ICoreWebView2Environment>::share (created);
            return S_OK;
        });
        EXPECT_EQ (startEnvironment (handler), S_OK);
        EXPECT_TRUE (pumpUntil ([&] { return handler->invocations > 0; }));
        handler->Release();
        return received;
    }

    HRESULT completeController (HWND parentWindow)
    {
        HRESULT received = S_FALSE;
        auto* handler = new ControllerHandler ([&] (HRESULT result, ICoreWebView2Controller* created) {
            received = result;
            controller = Ref<ICoreWebView2Controller>::share (created);
            return S_OK;
        });
        EXPECT_EQ (environment->CreateCoreWebView2Controller (parentWindow, handler), S_OK);
        EXPECT_TRUE (pumpUntil ([&] { return handler->invocations > 0; }));
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
    auto* handler = new EnvironmentHandler ([&] (HRESULT result, ICoreWebView2Environment* created) {
        answer = created != nullptr ? result : E_POINTER;
        return S_OK;
    }, &deleted);
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
    auto* handler = new EnvironmentHandler ([&] (HRESULT, ICoreWebView2Environment*) { ++invocations; return S_OK; },
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

} // namespace
} // namespace tunewell::standin::testing
