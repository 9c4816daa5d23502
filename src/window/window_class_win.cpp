#include "window/window_class_win.h"

#include <cstdlib>

namespace tunewell::ui
{
namespace
{
// The executable's standard application icon, if it carries one.
constexpr WORD applicationIconId = 32512;

// rand() is never seeded here and its state is per thread in the C runtime,
// so another thread or module may already own the first name tried.
constexpr int maximumNameAttempts = 16;

HICON loadSmallApplicationIcon (HMODULE module)
{
    return static_cast<HICON> (LoadImageA (module, MAKEINTRESOURCEA (applicationIconId), IMAGE_ICON,
                                           GetSystemMetrics (SM_CXSMICON), GetSystemMetrics (SM_CYSMICON),
                                           LR_DEFAULTCOLOR));
}

ATOM registerUniquelyNamedClass (WNDCLASSEXW& record, const std::wstring& baseName)
{
    for (int attempt = 0; attempt < maximumNameAttempts; ++attempt)
    {
        const std::wstring name = baseName + std::to_wstring (std::rand());
        record.lpszClassName = name.c_str();

        if (const ATOM atom = RegisterClassExW (&record); atom != 0)
            return atom;
        if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return 0;
    }
    return 0;
}
} // namespace

WindowClass::WindowClass (std::wstring baseName, WNDPROC procedure)
{
    moduleHandle = GetModuleHandleA (nullptr);
    icon = loadSmallApplicationIcon (moduleHandle);

    WNDCLASSEXW record {};
    record.cbSize = sizeof (record);
    record.style = CS_OWNDC;
    record.lpfnWndProc = procedure;
    record.hInstance = moduleHandle;
    record.hIcon = icon;
    record.hIconSm = icon;
    classAtom = registerUniquelyNamedClass (record, baseName);
}

WindowClass::~WindowClass()
{
    // A class that is still in use keeps pointing at its icon.
    const bool released = classAtom == 0 || UnregisterClassW (classIdentifier(), moduleHandle);
    if (released && icon != nullptr)
        DestroyIcon (icon);
}

LPCWSTR WindowClass::classIdentifier() const noexcept
{
    return classAtom != 0 ? reinterpret_cast<LPCWSTR> (static_cast<ULONG_PTR> (classAtom)) : nullptr;
}

} // namespace tunewell::ui
