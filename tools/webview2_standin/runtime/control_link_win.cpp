#include "control_link_win.h"

#include <windows.h>

namespace tunewell::standin
{

namespace
{

const StandinRuntimeInterface* loadControlInterface()
{
    // Never freed: views may report to it until the process ends, and freeing
    // a library from inside DllMain is not allowed.
    auto module = LoadLibraryW (L"webview2_standin_control.dll");
    if (module == nullptr)
        return nullptr;

    auto lookup = reinterpret_cast<StandinRuntimeInterfaceFunction> (
        reinterpret_cast<void*> (GetProcAddress (module, "standin_runtime_interface")));
    if (lookup == nullptr)
        return nullptr;

    auto* found = lookup();
    return found != nullptr && found->version == STANDIN_RUNTIME_INTERFACE_VERSION ? found : nullptr;
}

} // namespace

const StandinRuntimeInterface* controlInterface()
{
    static const StandinRuntimeInterface* const loaded = loadControlInterface();
    return loaded;
}

StandinBehaviour currentBehaviour()
{
    StandinBehaviour behaviour { 1, 1, -1, 0, 0, 0, 0, 0, 0, 0, 0 };
    if (auto* control = controlInterface())
        control->readBehaviour (&behaviour);

    return behaviour;
}

void record (const wchar_t* operation, const std::wstring& text)
{
    if (auto* control = controlInterface())
        control->record (operation, text.c_str());
}

LiveObject::LiveObject()
{
    if (auto* control = controlInterface())
        control->objectCreated();
}

LiveObject::~LiveObject()
{
    if (auto* control = controlInterface())
        control->objectDestroyed();
}

} // namespace tunewell::standin
