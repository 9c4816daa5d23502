#pragma once

namespace tunewell::ui
{

/// Runs the calling thread per-monitor DPI aware for as long as it lives, then
/// gives the thread back the awareness it had. Windows created meanwhile keep
/// that awareness for good (their child windows inherit it), and sizes read
/// or written meanwhile are the monitor's physical pixels rather than the
/// scaled ones that a DPI-unaware thread sees. Only this thread changes, so
/// the host's own windows keep their scaling. Where Windows cannot set a
/// thread's awareness nothing changes, unless the scope creates a window:
/// then the whole process is asked for per-monitor awareness instead, which
/// fails harmlessly once a process has declared its own.
/// Lives on one thread, on the stack.
class PerMonitorDpiScope
{
public:
    enum class Purpose
    {
        workOnWindows,
        createWindows
    };

    explicit PerMonitorDpiScope (Purpose purpose = Purpose::workOnWindows);
    ~PerMonitorDpiScope();

    PerMonitorDpiScope (const PerMonitorDpiScope&) = delete;
    PerMonitorDpiScope& operator= (const PerMonitorDpiScope&) = delete;

private:
    void* setThreadAwareness = nullptr;
    void* previousAwareness = nullptr;
};

} // namespace tunewell::ui
