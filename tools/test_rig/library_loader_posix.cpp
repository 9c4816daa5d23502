#include "library_loader.h"

#include <dlfcn.h>

namespace tunewell::testrig
{

LoadedLibrary::LoadedLibrary (const std::string& path)
    // Local binding keeps the library's exports from standing in for, or
    // being replaced by, same-named symbols of the test program.
    : module (dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
}

LoadedLibrary::~LoadedLibrary()
{
    if (module != nullptr)
        dlclose (module);
}

void* LoadedLibrary::lookup (const char* name) const
{
    return module != nullptr ? dlsym (module, name) : nullptr;
}

} // namespace tunewell::testrig
