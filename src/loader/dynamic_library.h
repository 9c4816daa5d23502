#pragma once

#include <string>

namespace tunewell::file
{

// A module that the operating system loads from a file, owned for the
// lifetime of this object. Use it on one thread only; the addresses it hands
// out stay valid until it is destroyed.
class DynamicLibrary
{
public:
    // Loads the named module with the system's search order; a module that
    // cannot be loaded leaves the object empty.
    explicit DynamicLibrary (const std::string& fileName);
    ~DynamicLibrary();

    DynamicLibrary (const DynamicLibrary&) = delete;
    DynamicLibrary& operator= (const DynamicLibrary&) = delete;

    bool isLoaded() const noexcept { return handle != nullptr; }

    // The exported function's address, or null when the module is not
    // loaded or does not export that name.
    void* lookupFunction (const std::string& name) const;

private:
    void* handle = nullptr;
};

} // namespace tunewell::file
