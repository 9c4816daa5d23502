#pragma once

#include <functional>
#include <map>

#include <windows.h>

namespace tunewell::messageloop::testing
{

/// A window whose messages from WM_USER on run the handler of that number.
class ScriptedWindow
{
public:
    ScriptedWindow()
    {
        WNDCLASSEXW record {};
        record.cbSize = sizeof (record);
        record.lpfnWndProc = procedure;
        record.hInstance = GetModuleHandleW (nullptr);
        record.lpszClassName = L"TunewellLoopTestWindow";
        RegisterClassExW (&record);
        handle = CreateWindowExW (0, record.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, record.hInstance,
                                  nullptr);
        SetWindowLongPtrW (handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (this));
    }

    ~ScriptedWindow()
    {
        DestroyWindow (handle);
        UnregisterClassW (L"TunewellLoopTestWindow", GetModuleHandleW (nullptr));
    }

    ScriptedWindow (const ScriptedWindow&) = delete;
    ScriptedWindow& operator= (const ScriptedWindow&) = delete;

    void post (UINT message) const { PostMessageW (handle, message, 0, 0); }

    HWND handle = nullptr;
    std::map<UINT, std::function<void()>> handlers;

private:
    static LRESULT CALLBACK procedure (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<ScriptedWindow*> (GetWindowLongPtrW (window, GWLP_USERDATA));
        if (self != nullptr && message >= WM_USER)
            if (auto handler = self->handlers.find (message); handler != self->handlers.end())
                handler->second();
        return DefWindowProcW (window, message, wParam, lParam);
    }
};

/// Empties the calling thread's queue without waiting: window messages are
/// dispatched, thread messages and quit messages dropped.
inline void dispatchPendingMessages()
{
    MSG message {};
    while (PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
        if (message.hwnd != nullptr)
            DispatchMessageW (&message);
}

} // namespace tunewell::messageloop::testing
