#include "webview/module_pin_win.h"

#include "messageloop/library_frames.h"

namespace tunewell::ui
{

ModulePin::ModulePin() noexcept
{
    // Counts a reference, as LoadLibrary would, to whichever module holds
    // this function.
    if (! GetModuleHandleExW (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                              reinterpret_cast<LPCWSTR> (
                                  reinterpret_cast<const void*> (&messageloop::insideLibraryFrame)),
                              &module))
        module = nullptr;
}

ModulePin::~ModulePin()
{
    if (module == nullptr)
        return;

    if (messageloop::insideLibraryFrame())
    {
        FreeLibrary (module);
        return;
    }

    // Nothing running proves that the host still holds the library: the
    // host's next call does. Without one the library stays, unused.
    HMODULE kept = module;
    static_cast<void> (messageloop::runAtNextHostCall ([kept] { FreeLibrary (kept); }));
}

} // namespace tunewell::ui
