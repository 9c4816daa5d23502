#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tunewell::memory
{

// A 64-bit Windows DLL mapped from bytes in memory instead of from a file:
// linked against the system's modules, initialised, and released again when
// this object is destroyed. Construct, use and destroy it on one thread; the
// image's initialisation and shutdown code runs on that thread.
class MemoryDLL
{
public:
    // Only reads the bytes, which the caller may discard afterwards. An image
    // that cannot be mapped leaves the loader empty, with nothing held.
    MemoryDLL (const void* data, std::uint64_t size);
    ~MemoryDLL();

    MemoryDLL (const MemoryDLL&) = delete;
    MemoryDLL& operator= (const MemoryDLL&) = delete;

    bool isEmpty() const noexcept { return pimpl == nullptr; }

    // Address of an exported function inside the mapped image, or null when
    // the loader is empty or the image does not export that name.
    void* lookupFunction (const std::string& name) const;

    struct Pimpl;

private:
    std::unique_ptr<Pimpl> pimpl;
};

} // namespace tunewell::memory
