#pragma once

#include <windows.h>

namespace tunewell::ui
{

/// Owns one native window: the window is destroyed with the holder if it
/// still exists then. Use it on the thread that created the window only.
class HWNDHolder
{
public:
    explicit HWNDHolder (HWND window = nullptr) noexcept : handle (window) {}
    ~HWNDHolder() { reset(); }

    HWNDHolder (HWNDHolder&& other) noexcept : handle (other.release()) {}
    HWNDHolder& operator= (HWNDHolder&& other) noexcept
    {
        if (this != &other)
            reset (other.release());
        return *this;
    }

    HWNDHolder (const HWNDHolder&) = delete;
    HWNDHolder& operator= (const HWNDHolder&) = delete;

    HWND get() const noexcept { return handle; }

    /// Destroys the held window (if it still exists) and holds the new one.
    void reset (HWND window = nullptr) noexcept
    {
        HWND previous = handle;
        handle = window;
        if (previous != nullptr && IsWindow (previous))
            DestroyWindow (previous);
    }

    /// Gives up ownership without destroying the window.
    HWND release() noexcept
    {
        HWND window = handle;
        handle = nullptr;
        return window;
    }

private:
    HWND handle;
};

} // namespace tunewell::ui
