#include "loader/memory_dll.h"

#include "loader/memory_dll_pimpl_win.h"

#include <new>

namespace tunewell::memory
{

MemoryDLL::MemoryDLL (const void* data, std::uint64_t size)
{
    try
    {
        pimpl = std::make_unique<Pimpl>();
        if (! pimpl->initialise (data, size))
            pimpl.reset();
    }
    catch (const std::bad_alloc&)
    {
        pimpl.reset();
    }
}

MemoryDLL::~MemoryDLL() = default;

void* MemoryDLL::lookupFunction (const std::string& name) const
{
    if (pimpl == nullptr)
        return nullptr;
    return pimpl->lookupFunction (name);
}

} // namespace tunewell::memory
