#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "../standin_runtime.h"
#include "dispatcher_win.h"

namespace tunewell::standin
{

class Controller;

/// The browser process of one user data folder, shared by every environment
/// and controller of this process made on that folder. It starts cold for the
/// first environment, is attached to by later ones, and exits a planned while
/// after its last controller closed; an environment created during that
/// while races the exit.
class BrowserProcess : public std::enable_shared_from_this<BrowserProcess>
{
public:
    struct Attachment
    {
        std::shared_ptr<BrowserProcess> process;
        int delayMilliseconds = 0;
        bool racesExit = false;
    };

    /// The running browser of the folder (names compared without case), or
    /// a new one starting cold; the delay is what the environment waits.
    static Attachment attach (const std::wstring& userDataFolder, const StandinBehaviour& plan);

    BrowserProcess (std::wstring folder, const StandinBehaviour& plan);

    /// Exiting or gone: no new controller can be made on it.
    bool isEnding() const;

    /// The runtime version this browser runs.
    int version() const { return runtimeVersion; }

    void controllerOpened (Controller* controller);
    /// The last one to close starts the exit, on a timer of this thread.
    void controllerClosed (Controller* controller, const std::shared_ptr<Dispatcher>& dispatcher);

    /// The process dies now: ProcessFailed on every view of it, and each of
    /// its controllers closes (process_failures_win.cpp).
    void exitUnexpectedly();

private:
    void exit (bool failed = false);

    std::wstring folder;
    int generation;
    int runtimeVersion;
    int exitMilliseconds;
    ULONGLONG readyAt;
    std::vector<Controller*> controllers;
    bool ending = false;
};

} // namespace tunewell::standin
