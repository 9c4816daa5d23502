#pragma once

#include <windows.h>

namespace tunewell::ui
{

/// Keeps the module that holds this code (tunewell.dll) loaded while it
/// lives. Each object that the browser runtime may hold holds one: the host
/// may unload the library while the runtime still holds such an object (a
/// creation given up on, a late release), and the runtime's next call or
/// release must then still find the code mapped.
class ModulePin
{
public:
    ModulePin() noexcept;
    /// The pin goes at once when code of the library runs on this thread
    /// (the host's own call, or a runtime call into a pinned handler), whose
    /// caller holds the image; the module then never goes under running
    /// code. Released from anywhere else (the runtime letting go, perhaps
    /// after the host's unload) it goes at the host's next call into the
    /// library, and with none the library stays loaded: harmless, where one
    /// freed under the runtime's return is not.
    ~ModulePin();

    ModulePin (const ModulePin&) = delete;
    ModulePin& operator= (const ModulePin&) = delete;

private:
    HMODULE module = nullptr;
};

} // namespace tunewell::ui
