#pragma once

#include <ostream>

namespace tunewell::testrig
{

/// What a session could leave behind in the process, counted from outside:
/// windows of this thread, loaded modules (mapped files natively) and open
/// handles (file descriptors natively).
struct ProcessResources
{
    int threadWindows = 0;
    int loadedModules = 0;
    int openHandles = 0;
    /// Private committed memory (resident memory natively): a figure to
    /// read, never compared, since allocators keep what they have freed.
    long long memoryBytes = 0;

    bool operator== (const ProcessResources& other) const
    {
        return threadWindows == other.threadWindows && loadedModules == other.loadedModules
            && openHandles == other.openHandles;
    }
};

inline std::ostream& operator<< (std::ostream& out, const ProcessResources& resources)
{
    return out << resources.threadWindows << " windows, " << resources.loadedModules << " modules, "
               << resources.openHandles << " handles, " << resources.memoryBytes / 1024 << " KiB";
}

ProcessResources currentProcessResources();

/// Runs an event that may start a showing of the chooser, as a host whose
/// user closes it at once: on Windows a quit message waits in the thread's
/// queue for the showing's loop, and one that no loop took is removed
/// afterwards. Natively a showing runs no loop, and this only runs the event.
void runWithTheShowingClosedAtOnce (void (*event) (int), int argument);

} // namespace tunewell::testrig
