#include "messageloop/message_window.h"

#include <memory>
#include <utility>

#include <windows.h>

#include "messageloop/class_registration_win.h"
#include "messageloop/library_frames.h"

namespace tunewell::messageloop
{
namespace
{
// Every message window's class name starts with this; the unload finds them by it.
constexpr char messageWindowClassPrefix[] = "tunewell_";

std::string registerMessageWindowClass()
{
    WNDCLASSEXA record {};
    record.cbSize = sizeof (record);
    record.lpfnWndProc = MessageWindow::windowProc;
    record.hInstance = GetModuleHandleA (nullptr);

    // A failed registration still leaves the last name drawn, which the
    // window's creation and the unregistering then find unregistered.
    std::string name;
    registerUniquelyNamedClass (record, messageWindowClassPrefix, name);
    return name;
}

void destroyWindowAndClass (HWND window, const std::string& className)
{
    if (window != nullptr)
        DestroyWindow (window);
    UnregisterClassA (className.c_str(), GetModuleHandleA (nullptr));
}

bool isCodeOfThisLibrary (const void* address)
{
    HMODULE own = nullptr, found = nullptr;
    constexpr DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;

    return GetModuleHandleExW (flags, reinterpret_cast<LPCWSTR> (&isCodeOfThisLibrary), &own)
        && GetModuleHandleExW (flags, static_cast<LPCWSTR> (address), &found) && own == found;
}

// A Unicode window asked through the ANSI call answers with a thunk, not its
// procedure.
LONG_PTR windowProcedureOf (HWND window)
{
    return IsWindowUnicode (window) ? GetWindowLongPtrW (window, GWLP_WNDPROC)
                                    : GetWindowLongPtrA (window, GWLP_WNDPROC);
}

// A window of this library that outlives it (a message window, a chooser
// window, a view window, whoever was meant to destroy it) would run unmapped
// code at its next message, and so would a callback queued for it. Such a
// window takes the window system's own procedure, which leaves queued
// callbacks alone; one of another thread is then closed by that procedure
// once its thread dispatches again, since only its own thread can destroy it.
BOOL CALLBACK releaseWindowAtUnload (HWND window, LPARAM)
{
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId (window, &process);

    if (process != GetCurrentProcessId())
        return TRUE;

    // Children first, while the parent still exists.
    EnumChildWindows (window, releaseWindowAtUnload, 0);

    if (! IsWindow (window) || ! isCodeOfThisLibrary (reinterpret_cast<const void*> (windowProcedureOf (window))))
        return TRUE;

    char className[256] {};
    GetClassNameA (window, className, sizeof (className));
    SetClassLongPtrA (window, GCLP_WNDPROC, reinterpret_cast<LONG_PTR> (&DefWindowProcA));
    SetWindowLongPtrA (window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR> (&DefWindowProcA));

    if (thread != GetCurrentThreadId())
        PostMessageA (window, WM_CLOSE, 0, 0);
    else if (std::string (className).rfind (messageWindowClassPrefix, 0) == 0)
        destroyWindowAndClass (window, className);
    else
        DestroyWindow (window);

    return TRUE;
}

struct SharedMessageWindow
{
    std::mutex mutex;
    std::unique_ptr<MessageWindow> window;

    // Runs when the library is unloaded. Besides the shared window, windows
    // that other threads have yet to destroy after a hand-over are found too,
    // and any other window of the library that is still there.
    ~SharedMessageWindow()
    {
        EnumWindows (releaseWindowAtUnload, 0);

        // Released above; its destructor must not post a callback to it.
        if (window != nullptr)
            window->forgetReleasedWindow();
    }
};

SharedMessageWindow& sharedMessageWindow()
{
    // Built on first use; destroyed when the library is unloaded.
    static SharedMessageWindow shared;
    return shared;
}
} // namespace

MessageWindow::MessageWindow() : className (registerMessageWindowClass()), ownerThread (GetCurrentThreadId())
{
    window = CreateWindowExA (0, className.c_str(), "tunewell", 0, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA (nullptr), nullptr);
}

MessageWindow::~MessageWindow()
{
    if (ownerThread == GetCurrentThreadId())
    {
        destroyWindowAndClass (window, className);
        return;
    }

    // Only the owner thread can destroy the window, and waiting for it could
    // hang this thread, so the owner is asked to do it once it has run the
    // callbacks already queued. A window whose thread has ended is gone
    // already and leaves only its class behind.
    HWND owned = window;
    std::string name = className;
    if (IsWindow (owned) && postCallback (owned, [owned, name] { destroyWindowAndClass (owned, name); }))
        return;
    destroyWindowAndClass (nullptr, className);
}

std::intptr_t MessageWindow::windowProc (HWND__* window, unsigned int message, std::uintptr_t wParam,
                                         std::intptr_t lParam)
{
    const LibraryFrame frame;

    try
    {
        runCallbackMessage (message, wParam, lParam);
    }
    catch (...)
    {
        // An exception unwinding into the window system would end the host.
    }
    return DefWindowProcA (window, message, wParam, lParam);
}

LockedMessageWindow lockSharedMessageWindow (bool forCurrentThread)
{
    SharedMessageWindow& shared = sharedMessageWindow();
    std::unique_lock<std::mutex> lock (shared.mutex);

    const bool ownedElsewhere = shared.window != nullptr && shared.window->ownerThreadId() != GetCurrentThreadId();
    if (shared.window == nullptr || (forCurrentThread && ownedElsewhere))
    {
        // The new window exists before the previous one is destroyed.
        const std::unique_ptr<MessageWindow> previous = std::exchange (shared.window,
                                                                       std::make_unique<MessageWindow>());
    }
    return { shared.window->windowHandle(), std::move (lock) };
}

bool postCallback (HWND__* window, Callback callback)
{
    if (window == nullptr)
        return false;

    const std::intptr_t packed = packCallback (std::move (callback));
    if (PostMessageA (window, callbackMessageNumber, callbackMessageTag, packed))
        return true;
    discardPackedCallback (packed);
    return false;
}

bool postCallbackToSharedWindow (Callback callback)
{
    const LockedMessageWindow shared = lockSharedMessageWindow (true);
    return postCallback (shared.windowHandle, std::move (callback));
}

} // namespace tunewell::messageloop
