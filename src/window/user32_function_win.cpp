#include "window/user32_function.h"

#include "loader/dynamic_library.h"

namespace tunewell::ui
{

void* getUser32Function (const char* functionName)
{
    if (functionName == nullptr)
        return nullptr;

    const file::DynamicLibrary user32 ("user32.dll");
    return user32.lookupFunction (functionName);
}

} // namespace tunewell::ui
