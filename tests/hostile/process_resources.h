#pragma once

#include <ostream>

namespace tunewell::testing
{

/// What a session could leave behind in the process, counted from outside:
/// windows of this thread, loaded modules (mapped files natively) and open
/// handles (file descriptors natively).
struct ProcessResources
{
    int threadWindows = 0;
    int loadedModules = 0;
    int openHandles = 0;

    bool operator== (const ProcessResources& other) const
    {
        return threadWindows == other.threadWindows && loadedModules == other.loadedModules && openHandles == other.openHandles;
    }
};

inline std::ostream& operator<< (std::ostream& out, const ProcessResources& resources)
{
    return out << resources.threadWindows << " windows, " << resources.loadedModules << " modules, "
               << resources.openHandles << " handles";
}

ProcessResources currentProcessResources();

} // namespace tunewell::testing
