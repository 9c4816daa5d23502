#include "loader/dynamic_library.h"

#include <windows.h>

namespace tunewell::file
{

DynamicLibrary::DynamicLibrary (const std::string& fileName)
    : handle (reinterpret_cast<void*> (LoadLibraryA (fileName.c_str())))
{
}

DynamicLibrary::~DynamicLibrary()
{
    if (handle != nullptr)
    {
        FreeLibrary (static_cast<HMODULE> (handle));
        handle = nullptr;
    }
}

void* DynamicLibrary::lookupFunction (const std::string& name) const
{
    if (handle == nullptr)
        return nullptr;
    return reinterpret_cast<void*> (GetProcAddress (static_cast<HMODULE> (handle), name.c_str()));
}

} // namespace tunewell::file
