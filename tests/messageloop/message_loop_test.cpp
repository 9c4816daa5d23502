#include "messageloop/message_loop.h"

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "loop_test_support_win.h"

namespace tunewell::messageloop
{
namespace
{
using namespace testing;

constexpr UINT first = WM_USER + 1;
constexpr UINT second = WM_USER + 2;
constexpr UINT third = WM_USER + 3;

class MessageLoop : public ::testing::Test
{
protected:
    // Each test ends its loop from the window's handlers: without the window
    // the loop would wait forever instead of failing.
    void SetUp() override { ASSERT_TRUE (IsWindow (window.handle)) << "the window system made no window"; }
    void TearDown() override { dispatchPendingMessages(); }
    ScriptedWindow window;
};

TEST_F (MessageLoop, EndsAtOnceOnAQuitPostedBeforeItStarts)
{
    PostQuitMessage (7);
    const LoopEnd end = runMessageLoop();
    EXPECT_TRUE (end.quitReceived);
    EXPECT_EQ (end.exitCode, 7);
}

TEST_F (MessageLoop, DispatchesTheWindowMessagesAlreadyPostedBeforeTakingTheQuit)
{
    std::vector<UINT> seen;
    window.handlers[first] = [&] { seen.push_back (first); };
    window.handlers[second] = [&] {
        seen.push_back (second);
        stopMessageLoop();
        window.post (third);
    };
    window.handlers[third] = [&] { seen.push_back (third); };
    window.post (first);
    window.post (second);

    const LoopEnd end = runMessageLoop();

    // The window system hands out a quit only once no posted message is left.
    EXPECT_EQ (seen, (std::vector<UINT> { first, second, third }));
    EXPECT_TRUE (end.quitReceived);
    EXPECT_EQ (end.exitCode, 0);
}

TEST_F (MessageLoop, RemovesThreadMessagesWithoutDispatchingThem)
{
    // A timer's message carries its procedure, which dispatching calls: the
    // window's timer must run, the thread's timer never.
    static int threadTimerCalls = 0;
    static int windowTimerCalls = 0;
    threadTimerCalls = 0;
    windowTimerCalls = 0;
    PostThreadMessageW (GetCurrentThreadId(), WM_USER + 40, 0, 0);
    const UINT_PTR threadTimer = SetTimer (nullptr, 0, 10, [] (HWND, UINT, UINT_PTR, DWORD) { ++threadTimerCalls; });
    SetTimer (window.handle, 1, 200, [] (HWND target, UINT, UINT_PTR id, DWORD) {
        KillTimer (target, id);
        ++windowTimerCalls;
        stopMessageLoop();
    });

    runMessageLoop();
    KillTimer (nullptr, threadTimer);

    EXPECT_EQ (windowTimerCalls, 1);
    EXPECT_EQ (threadTimerCalls, 0);
    MSG leftover {};
    EXPECT_FALSE (PeekMessageW (&leftover, nullptr, WM_USER + 40, WM_USER + 40, PM_REMOVE));
}

TEST_F (MessageLoop, EndsOnlyTheInnermostOfNestedLoopsPerQuit)
{
    std::vector<std::string> events;
    window.handlers[first] = [&] {
        events.push_back ("outer dispatched");
        window.post (second);
        const LoopEnd inner = runMessageLoop();
        events.push_back ("inner ended " + std::to_string (inner.exitCode));
        window.post (third);
    };
    window.handlers[second] = [&] {
        events.push_back ("inner dispatched");
        PostQuitMessage (3);
    };
    window.handlers[third] = [&] {
        events.push_back ("outer still running");
        PostQuitMessage (4);
    };
    window.post (first);

    const LoopEnd outer = runMessageLoop();

    EXPECT_EQ (events, (std::vector<std::string> { "outer dispatched", "inner dispatched", "inner ended 3",
                                                   "outer still running" }));
    EXPECT_TRUE (outer.quitReceived);
    EXPECT_EQ (outer.exitCode, 4);
}

TEST_F (MessageLoop, ReportsTheExitCodeSoAnInnerLoopCanPassAQuitOutward)
{
    window.handlers[first] = [&] {
        window.post (second);
        const LoopEnd inner = runMessageLoop();
        if (inner.quitReceived)
            PostQuitMessage (inner.exitCode);
    };
    window.handlers[second] = [] { PostQuitMessage (-12); };
    window.post (first);

    const LoopEnd outer = runMessageLoop();
    EXPECT_TRUE (outer.quitReceived);
    EXPECT_EQ (outer.exitCode, -12);
}

TEST_F (MessageLoop, EndsOnItsOwnSignalAndLeavesAQuitPostedBesideItToTheOuterLoop)
{
    bool ended = false;
    window.handlers[first] = [&] {
        ended = true;
        wakeMessageLoop();
        PostQuitMessage (0);
    };
    window.post (first);

    const LoopEnd end = runMessageLoop ([&] { return ended; });

    EXPECT_FALSE (end.quitReceived);
    MSG quit {};
    ASSERT_TRUE (PeekMessageW (&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ (quit.wParam, 0u);
}

TEST_F (MessageLoop, ASignalRaisedByAMessageSentFromAnotherThreadWakesTheWaitingLoop)
{
    // Sent messages are handled inside the wait for the next message, which
    // returns only for a posted one.
    static bool gaveUpWaiting = false;
    bool ended = false;
    window.handlers[first] = [&] {
        ended = true;
        wakeMessageLoop();
    };
    // Should the wake fail, the timer's own message ends the wait instead of a hang.
    SetTimer (window.handle, 1, 10000, [] (HWND target, UINT, UINT_PTR id, DWORD) {
        KillTimer (target, id);
        gaveUpWaiting = true;
    });
    std::thread sender ([this] { SendMessageW (window.handle, first, 0, 0); });

    const LoopEnd end = runMessageLoop ([&] { return ended; });
    sender.join();
    KillTimer (window.handle, 1);

    EXPECT_TRUE (ended);
    EXPECT_FALSE (gaveUpWaiting);
    EXPECT_FALSE (end.quitReceived);
}

} // namespace
} // namespace tunewell::messageloop
