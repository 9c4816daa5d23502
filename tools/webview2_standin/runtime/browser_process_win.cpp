#include "browser_process_win.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "control_link_win.h"
#include "controller_win.h"
#include "environment_win.h"
#include "webview/com_ref_win.h"

namespace tunewell::standin
{

namespace
{

// Environments and controllers of several threads may share a browser.
SRWLOCK processesLock = SRWLOCK_INIT;
std::vector<std::shared_ptr<BrowserProcess>> processes;

class ProcessesGuard
{
public:
    ProcessesGuard() { AcquireSRWLockExclusive (&processesLock); }
    ~ProcessesGuard() { ReleaseSRWLockExclusive (&processesLock); }
    ProcessesGuard (const ProcessesGuard&) = delete;
    ProcessesGuard& operator= (const ProcessesGuard&) = delete;
};

// Windows file names ignore case, and so does the browser's folder lock.
std::wstring folderKey (std::wstring folder)
{
    std::transform (folder.begin(), folder.end(), folder.begin(), [] (wchar_t c) { return std::towlower (c); });
    return folder;
}

void reportProcess (int change)
{
    if (auto* control = controlInterface())
        control->browserProcessChanged (change);
}

} // namespace

BrowserProcess::BrowserProcess (std::wstring userDataFolder, const StandinBehaviour& plan)
    : folder (std::move (userDataFolder)), generation (plan.browserGeneration),
      runtimeVersion (plan.browserVersion), exitMilliseconds (plan.exitMilliseconds),
      readyAt (GetTickCount64() + static_cast<ULONGLONG> (std::max (plan.coldStartMilliseconds, 0)))
{
}

BrowserProcess::Attachment BrowserProcess::attach (const std::wstring& userDataFolder, const StandinBehaviour& plan)
{
    const auto key = folderKey (userDataFolder);
    ProcessesGuard guard;

    // A reset of the control forgets browsers of earlier tests.
    processes.erase (std::remove_if (processes.begin(), processes.end(),
                                     [&] (const auto& p) { return p->generation != plan.browserGeneration; }),
                     processes.end());

    for (const auto& process : processes)
    {
        if (process->folder != key)
            continue;
        if (process->ending)
            return { process, plan.attachMilliseconds, true };

        const auto now = GetTickCount64();
        const int untilReady = process->readyAt > now ? static_cast<int> (process->readyAt - now) : 0;
        return { process, std::max (plan.attachMilliseconds, untilReady), false };
    }

    auto started = std::make_shared<BrowserProcess> (key, plan);
    processes.push_back (started);
    reportProcess (1);
    return { started, plan.coldStartMilliseconds, false };
}

bool BrowserProcess::isEnding() const
{
    ProcessesGuard guard;
    return ending;
}

void BrowserProcess::controllerOpened (Controller* controller)
{
    ProcessesGuard guard;
    controllers.push_back (controller);
}

void BrowserProcess::controllerClosed (Controller* controller, const std::shared_ptr<Dispatcher>& dispatcher)
{
    {
        ProcessesGuard guard;
        controllers.erase (std::remove (controllers.begin(), controllers.end(), controller), controllers.end());
        if (! controllers.empty() || ending)
            return;

        ending = true;
    }

    if (exitMilliseconds <= 0 || dispatcher == nullptr)
        return exit();

    dispatcher->postAfter (exitMilliseconds, [self = shared_from_this()] { self->exit(); });
}

// Microsoft: when the browser process exits, every view of it is closed and
// ProcessFailed is raised on each; BrowserProcessExited is raised as well, in
// no set order. It is gone at once, so a new environment starts a new one.
void BrowserProcess::exitUnexpectedly()
{
    std::vector<ui::ComRef<ICoreWebView2Controller>> closing;
    {
        ProcessesGuard guard;
        ending = true;
        for (auto* controller : controllers)
            closing.push_back (ui::ComRef<ICoreWebView2Controller>::share (controller));
    }

    exit (true);

    for (auto& controller : closing)
        static_cast<Controller*> (controller.get())->browserProcessExited();
}

void BrowserProcess::exit (bool failed)
{
    bool current = false;
    {
        ProcessesGuard guard;
        auto found = std::find (processes.begin(), processes.end(), shared_from_this());
        current = found != processes.end();
        if (current)
            processes.erase (found);
    }

    if (! current)
        return;

    record (L"BrowserProcessExited", failed ? L"failed" : L"normal");
    announceBrowserExit (this, failed);

    // A browser of an earlier test was forgotten at the reset, uncounted.
    if (generation == currentBehaviour().browserGeneration)
        reportProcess (-1);
}

} // namespace tunewell::standin
