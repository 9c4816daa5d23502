#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "../standin_runtime.h"
#include "dispatcher_win.h"

namespace tunewell::standin
{

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

    void controllerOpened();
    /// The last one to close starts the exit, on a timer of this thread.
    void controllerClosed (const std::shared_ptr<Dispatcher>& dispatcher);

private:
    void exit();

    std::wstring folder;
    int generation;
    int exitMilliseconds;
    ULONGLONG readyAt;
    int controllers = 0;
    bool ending = false;
};

} // namespace tunewell::standin
