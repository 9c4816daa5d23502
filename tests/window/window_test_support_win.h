#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace tunewell::ui::testing
{

/// The top-level windows that the calling thread owns.
inline std::vector<HWND> threadWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows (
        GetCurrentThreadId(),
        [] (HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*> (list)->push_back (window);
            return TRUE;
        },
        reinterpret_cast<LPARAM> (&windows));
    return windows;
}

inline std::wstring classNameOf (HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW (window, name, 256);
    return name;
}

inline bool classIsRegistered (const std::wstring& name)
{
    WNDCLASSEXW record {};
    record.cbSize = sizeof (record);
    return GetClassInfoExW (GetModuleHandleW (nullptr), name.c_str(), &record) != 0;
}

/// Dispatches whatever the calling thread's queue holds, without waiting.
inline void dispatchPendingMessages()
{
    MSG message {};
    while (PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage (&message);
        DispatchMessageW (&message);
    }
}

/// A plain popup window of a system class, to serve as content.
inline HWND createPopup()
{
    return CreateWindowExW (0, L"STATIC", L"content", WS_POPUP | WS_VISIBLE, 0, 0, 50, 40, nullptr, nullptr,
                            GetModuleHandleW (nullptr), nullptr);
}

inline SIZE clientSize (HWND window)
{
    RECT rect {};
    GetClientRect (window, &rect);
    return { rect.right - rect.left, rect.bottom - rect.top };
}

inline SIZE windowSize (HWND window)
{
    RECT rect {};
    GetWindowRect (window, &rect);
    return { rect.right - rect.left, rect.bottom - rect.top };
}

} // namespace tunewell::ui::testing
