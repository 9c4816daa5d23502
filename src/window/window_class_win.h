#pragma once

#include <string>

#include <windows.h>

namespace tunewell::ui
{

/// A window class registered under a name of its own: the base name followed
/// by a decimal rand() value, registered for the process's executable.
/// Construct, use and destroy it on one thread; destroy every window of the
/// class first, or the class stays registered until the process ends.
class WindowClass
{
public:
    WindowClass (std::wstring baseName, WNDPROC procedure);
    ~WindowClass();

    WindowClass (const WindowClass&) = delete;
    WindowClass& operator= (const WindowClass&) = delete;

    /// The class as CreateWindowExW expects it; null when registration failed.
    LPCWSTR classIdentifier() const noexcept;
    /// The module the class is registered for, which its windows name too.
    HMODULE moduleHandle() const noexcept { return module; }

private:
    HMODULE module = nullptr;
    /// The registered atom, zero-extended; 0 when registration failed.
    UINT classAtom = 0;
    HICON icon = nullptr;
};

} // namespace tunewell::ui
