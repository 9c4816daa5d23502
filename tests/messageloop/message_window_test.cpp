#include "messageloop/message_window.h"

#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <windows.h>

#include "loop_test_support_win.h"
#include "messageloop/message_loop.h"

namespace tunewell::messageloop
{
namespace
{
using namespace testing;

std::string classNameOf (HWND window)
{
    char name[256] = {};
    GetClassNameA (window, name, 256);
    return name;
}

bool classIsRegistered (const std::string& name)
{
    WNDCLASSEXA record {};
    record.cbSize = sizeof (record);
    return GetClassInfoExA (GetModuleHandleA (nullptr), name.c_str(), &record) != 0;
}

bool isTunewellClassName (const std::string& name)
{
    const std::string prefix = "tunewell_";
    if (name.size() <= prefix.size() || name.compare (0, prefix.size(), prefix) != 0)
        return false;
    const std::string digits = name.substr (prefix.size());
    return digits.find_first_not_of ("0123456789") == std::string::npos && (digits == "0" || digits[0] != '0');
}

/// Runs the loop until everything queued so far has been dispatched.
void runQueuedCallbacks (HWND window)
{
    // Without the stopping callback the loop would wait forever instead of failing.
    if (! postCallback (window, [] { stopMessageLoop(); }))
    {
        ADD_FAILURE() << "could not post to the message window";
        return;
    }
    runMessageLoop();
}

TEST (MessageWindow, IsAHiddenWindowOfItsOwnClassOnTheCreatingThread)
{
    std::string className;
    HWND handle = nullptr;
    {
        MessageWindow window;
        handle = window.windowHandle();
        className = window.registeredClassName();
        ASSERT_TRUE (IsWindow (handle));
        EXPECT_FALSE (IsWindowVisible (handle));
        EXPECT_EQ (GetParent (handle), nullptr);
        EXPECT_EQ (classNameOf (handle), className);
        EXPECT_TRUE (isTunewellClassName (className)) << className;
        EXPECT_EQ (window.ownerThreadId(), GetCurrentThreadId());
        EXPECT_EQ (GetWindowThreadProcessId (handle, nullptr), GetCurrentThreadId());
        char title[32] = {};
        GetWindowTextA (handle, title, 32);
        EXPECT_STREQ (title, "tunewell");
    }
    EXPECT_FALSE (IsWindow (handle));
    EXPECT_FALSE (classIsRegistered (className));
}

TEST (MessageWindow, GivesEveryWindowAClassOfItsOwn)
{
    MessageWindow first;
    MessageWindow second;
    EXPECT_NE (first.registeredClassName(), second.registeredClassName());
    EXPECT_NE (first.windowHandle(), second.windowHandle());
}

TEST (MessageWindowCallbacks, RunEachPostedCallbackOnceAndFreeIt)
{
    MessageWindow window;
    auto token = std::make_shared<int> (0);
    ASSERT_TRUE (postCallback (window.windowHandle(), [token] { ++*token; }));
    ASSERT_TRUE (postCallback (window.windowHandle(), [token] { *token += 10; }));
    EXPECT_EQ (*token, 0);

    runQueuedCallbacks (window.windowHandle());

    EXPECT_EQ (*token, 11);
    EXPECT_EQ (token.use_count(), 1);
}

TEST (MessageWindowCallbacks, FreeACallbackThatThrowsAndKeepTheLoopRunning)
{
    MessageWindow window;
    auto token = std::make_shared<int> (0);
    postCallback (window.windowHandle(), [token] { throw std::runtime_error ("callback failed"); });
    postCallback (window.windowHandle(), Callback {});
    postCallback (window.windowHandle(), [token] { ++*token; });

    runQueuedCallbacks (window.windowHandle());

    EXPECT_EQ (*token, 1);
    EXPECT_EQ (token.use_count(), 1);
}

TEST (MessageWindowCallbacks, IgnoreMessagesWithAnotherTagOrNumber)
{
    MessageWindow window;
    auto token = std::make_shared<int> (0);
    const std::intptr_t packed = packCallback ([token] { ++*token; });
    PostMessageA (window.windowHandle(), WM_APP, callbackMessageTag + 1, packed);
    PostMessageA (window.windowHandle(), WM_APP + 1, callbackMessageTag, packed);
    // A message to the window goes to default processing either way.
    EXPECT_EQ (SendMessageA (window.windowHandle(), WM_APP, 0, packed), 0);

    runQueuedCallbacks (window.windowHandle());

    EXPECT_EQ (*token, 0);
    EXPECT_EQ (token.use_count(), 2);
    discardPackedCallback (packed);
}

TEST (MessageWindowCallbacks, AreFreedUnrunWhenThereIsNoWindowToPostTo)
{
    auto token = std::make_shared<int> (0);
    EXPECT_FALSE (postCallback (nullptr, [token] { ++*token; }));

    MessageWindow window;
    HWND gone = window.windowHandle();
    DestroyWindow (gone);
    EXPECT_FALSE (postCallback (gone, [token] { ++*token; }));

    EXPECT_EQ (*token, 0);
    EXPECT_EQ (token.use_count(), 1);
}

TEST (SharedMessageWindow, RunsACallbackPostedToItAfterTheCurrentHandlerReturns)
{
    ScriptedWindow window;
    ASSERT_TRUE (IsWindow (window.handle));
    std::string events;
    window.handlers[WM_USER + 1] = [&] {
        postCallbackToSharedWindow ([&] {
            events += "callback ";
            stopMessageLoop();
        });
        events += "handler ";
    };
    window.post (WM_USER + 1);

    runMessageLoop();

    EXPECT_EQ (events, "handler callback ");
}

TEST (SharedMessageWindow, IsCreatedOnceForItsThreadAndHandedOverToAnotherOnRequest)
{
    HWND firstWindow = lockSharedMessageWindow (true).windowHandle;
    ASSERT_TRUE (IsWindow (firstWindow));
    EXPECT_EQ (lockSharedMessageWindow (true).windowHandle, firstWindow);
    EXPECT_EQ (lockSharedMessageWindow (false).windowHandle, firstWindow);
    const std::string firstClass = classNameOf (firstWindow);

    std::promise<HWND> sharedSeenElsewhere;
    std::promise<HWND> takenOver;
    std::promise<DWORD> otherThreadId;
    std::promise<void> mayExit;
    std::thread other ([&] {
        otherThreadId.set_value (GetCurrentThreadId());
        sharedSeenElsewhere.set_value (lockSharedMessageWindow (false).windowHandle);
        takenOver.set_value (lockSharedMessageWindow (true).windowHandle);
        mayExit.get_future().wait();
    });

    EXPECT_EQ (sharedSeenElsewhere.get_future().get(), firstWindow);
    HWND secondWindow = takenOver.get_future().get();
    ASSERT_NE (secondWindow, firstWindow);
    ASSERT_TRUE (IsWindow (secondWindow));
    EXPECT_EQ (GetWindowThreadProcessId (secondWindow, nullptr), otherThreadId.get_future().get());
    const std::string secondClass = classNameOf (secondWindow);
    EXPECT_NE (secondClass, firstClass);

    // Only this thread can destroy its old window, once it dispatches.
    dispatchPendingMessages();
    EXPECT_FALSE (IsWindow (firstWindow));
    EXPECT_FALSE (classIsRegistered (firstClass));

    mayExit.set_value();
    other.join();
    EXPECT_FALSE (IsWindow (secondWindow));

    HWND thirdWindow = lockSharedMessageWindow (false).windowHandle;
    EXPECT_EQ (thirdWindow, secondWindow);
    thirdWindow = lockSharedMessageWindow (true).windowHandle;
    EXPECT_TRUE (IsWindow (thirdWindow));
    EXPECT_EQ (GetWindowThreadProcessId (thirdWindow, nullptr), GetCurrentThreadId());
    EXPECT_FALSE (classIsRegistered (secondClass));
}

TEST (SharedMessageWindow, HoldsItsLockForAsLongAsTheResultLives)
{
    LockedMessageWindow locked = lockSharedMessageWindow (true);
    ASSERT_TRUE (locked.lock.owns_lock());

    std::future<HWND> waiting = std::async (std::launch::async,
                                            [] { return lockSharedMessageWindow (false).windowHandle; });
    EXPECT_EQ (waiting.wait_for (std::chrono::milliseconds (100)), std::future_status::timeout);

    HWND handle = locked.windowHandle;
    locked.lock.unlock();
    EXPECT_EQ (waiting.get(), handle);
}

} // namespace
} // namespace tunewell::messageloop
