#include "window/window_class_win.h"

#include "messageloop/class_registration_win.h"

namespace tunewell::ui
{
namespace
{
// The executable's standard application icon, if it carries one.
constexpr WORD applicationIconId = 32512;

HICON loadSmallApplicationIcon (HMODULE module)
{
    return static_cast<HICON> (LoadImageA (module, MAKEINTRESOURCEA (applicationIconId), IMAGE_ICON,
                                           GetSystemMetrics (SM_CXSMICON), GetSystemMetrics (SM_CYSMICON),
                                           LR_DEFAULTCOLOR));
}

} // namespace

WindowClass::WindowClass (std::wstring baseName, WNDPROC procedure)
{
    module = GetModuleHandleA (nullptr);
    icon = loadSmallApplicationIcon (module);

    WNDCLASSEXW record {};
    record.cbSize = sizeof (record);
    record.style = CS_OWNDC;
    record.lpfnWndProc = procedure;
    record.hInstance = module;
    record.hIcon = icon;
    record.hIconSm = icon;
    std::wstring name;
    classAtom = messageloop::registerUniquelyNamedClass (record, baseName, name);
}

WindowClass::~WindowClass()
{
    // A class that is still in use keeps pointing at its icon.
    const bool released = classAtom == 0 || UnregisterClassW (classIdentifier(), module);
    if (released && icon != nullptr)
        DestroyIcon (icon);
}

LPCWSTR WindowClass::classIdentifier() const noexcept
{
    return classAtom != 0 ? reinterpret_cast<LPCWSTR> (static_cast<ULONG_PTR> (classAtom)) : nullptr;
}

} // namespace tunewell::ui
