#include "window/user32_function.h"

#include <windows.h>

namespace tunewell::ui
{

void* getUser32Function (const char* functionName)
{
    if (functionName == nullptr)
        return nullptr;

    HMODULE user32 = LoadLibraryA ("user32.dll");
    if (user32 == nullptr)
        return nullptr;

    void* address = reinterpret_cast<void*> (GetProcAddress (user32, functionName));
    FreeLibrary (user32);
    return address;
}

} // namespace tunewell::ui
