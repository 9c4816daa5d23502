#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "messageloop/callback_message.h"

struct HWND__;

namespace tunewell::messageloop
{

/// A hidden window that runs callbacks posted to it as callback messages, on
/// the thread that created it. Destroy it on that thread when possible; when
/// destroyed elsewhere it asks its own thread to destroy the window.
class MessageWindow
{
public:
    MessageWindow();
    ~MessageWindow();

    MessageWindow (const MessageWindow&) = delete;
    MessageWindow& operator= (const MessageWindow&) = delete;

    /// Runs a posted callback (never letting an exception escape into the
    /// window system), then always gives the message to default processing.
    static std::intptr_t windowProc (HWND__* window, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);

    /// Null when creation failed, or once the library's unload released it.
    HWND__* windowHandle() const noexcept { return window; }
    /// "tunewell_" followed by a decimal rand() value.
    const std::string& registeredClassName() const noexcept { return className; }
    /// The only thread on which this window's messages are delivered.
    std::uint32_t ownerThreadId() const noexcept { return ownerThread; }

    /// The unload released the window already; the destructor must not post
    /// to it.
    void forgetReleasedWindow() noexcept { window = nullptr; }

private:
    HWND__* window = nullptr;
    std::string className;
    std::uint32_t ownerThread = 0;
};

/// The process-wide message window, with its mutex held until this is destroyed.
struct LockedMessageWindow
{
    HWND__* windowHandle = nullptr;
    std::unique_lock<std::mutex> lock;
};

/// Returns the process-wide message window with its mutex held, creating it
/// on the calling thread when there is none, or when forCurrentThread is set
/// and another thread owns it (that one is then destroyed). Any thread may
/// call it; a mutex failure throws std::system_error. The window is released
/// when the library is unloaded, on whichever thread that happens: no window
/// procedure or queued callback of the library stays behind.
LockedMessageWindow lockSharedMessageWindow (bool forCurrentThread);

/// Posts a callback to a message window; it runs when that window's thread
/// next dispatches messages. Returns false, freeing the callback unrun, when
/// the window is null or posting fails.
bool postCallback (HWND__* window, Callback callback);

/// Posts a callback that runs on the calling thread once that thread next
/// dispatches messages, for work that must wait until the current message
/// handler has returned. The shared window is made the calling thread's.
bool postCallbackToSharedWindow (Callback callback);

} // namespace tunewell::messageloop
