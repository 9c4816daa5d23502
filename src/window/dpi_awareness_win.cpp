#include "window/dpi_awareness_win.h"

#include <windows.h>

#include <cstdint>

#include "window/user32_function.h"

namespace tunewell::ui
{
namespace
{
// DPI_AWARENESS_CONTEXT values, which older SDK headers lack.
constexpr std::intptr_t perMonitorAwareV2 = -4;
constexpr std::intptr_t perMonitorAware = -3;

using SetThreadAwarenessFunction = HANDLE (WINAPI*) (HANDLE);
using SetProcessAwarenessFunction = BOOL (WINAPI*) (HANDLE);

HANDLE awarenessContext (std::intptr_t value)
{
    return reinterpret_cast<HANDLE> (value);
}
} // namespace

PerMonitorDpiScope::PerMonitorDpiScope (Purpose purpose)
    : setThreadAwareness (getUser32Function ("SetThreadDpiAwarenessContext"))
{
    const auto setThread = reinterpret_cast<SetThreadAwarenessFunction> (setThreadAwareness);
    if (setThread == nullptr)
    {
        if (purpose == Purpose::createWindows)
            if (auto setProcess = reinterpret_cast<SetProcessAwarenessFunction> (
                    getUser32Function ("SetProcessDpiAwarenessContext")))
                setProcess (awarenessContext (perMonitorAwareV2));
        return;
    }

    // Version 2, which also scales the frame, came one Windows release after
    // the thread call; Wine knows only version 1. A refusal changes nothing.
    previousAwareness = setThread (awarenessContext (perMonitorAwareV2));
    if (previousAwareness == nullptr)
        previousAwareness = setThread (awarenessContext (perMonitorAware));
}

PerMonitorDpiScope::~PerMonitorDpiScope()
{
    if (previousAwareness != nullptr)
        reinterpret_cast<SetThreadAwarenessFunction> (setThreadAwareness) (previousAwareness);
}

} // namespace tunewell::ui
