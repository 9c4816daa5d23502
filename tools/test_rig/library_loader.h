#pragma once

#include <string>

namespace tunewell::testrig
{

/// A shared library loaded by path for as long as the object lives
/// (dlopen natively, LoadLibrary on Windows).
class LoadedLibrary
{
public:
    explicit LoadedLibrary (const std::string& path);
    ~LoadedLibrary();

    LoadedLibrary (const LoadedLibrary&) = delete;
    LoadedLibrary& operator= (const LoadedLibrary&) = delete;

    bool isLoaded() const { return module != nullptr; }

    /// The exported symbol's address, or null.
    void* lookup (const char* name) const;

    template <typename Function>
    Function function (const char* name) const
    {
        return reinterpret_cast<Function> (lookup (name));
    }

private:
    void* module = nullptr;
};

} // namespace tunewell::testrig
