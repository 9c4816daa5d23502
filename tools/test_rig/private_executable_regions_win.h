#pragma once

#include <windows.h>

namespace tunewell::testrig
{

/// Committed private memory that can run code: a DLL image mapped from
/// memory counts here, while modules the system loads from files do not.
inline int privateExecutableRegions()
{
    constexpr DWORD executable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    int count = 0;
    MEMORY_BASIC_INFORMATION region {};

    for (auto* address = static_cast<char*> (nullptr);
         VirtualQuery (address, &region, sizeof (region)) == sizeof (region);
         address = static_cast<char*> (region.BaseAddress) + region.RegionSize)
    {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE && (region.Protect & executable) != 0)
            ++count;
    }

    return count;
}

} // namespace tunewell::testrig
