#include "library_loader.h"

#include <algorithm>

#include <windows.h>

namespace tunewell::testrig
{

LoadedLibrary::LoadedLibrary (const std::string& path)
{
    std::string windowsPath (path);
    std::replace (windowsPath.begin(), windowsPath.end(), '/', '\\');
    module = LoadLibraryA (windowsPath.c_str());
}

LoadedLibrary::~LoadedLibrary()
{
    if (module != nullptr)
        FreeLibrary (static_cast<HMODULE> (module));
}

void* LoadedLibrary::lookup (const char* name) const
{
    return module != nullptr ? reinterpret_cast<void*> (GetProcAddress (static_cast<HMODULE> (module), name)) : nullptr;
}

} // namespace tunewell::testrig
