#include "environment_win.h"

#include <objbase.h>

#include <algorithm>
#include <vector>

#include "../standin_runtime.h"
#include "co_task_text_win.h"
#include "control_link_win.h"
#include "webview/com_ref_win.h"
#include "controller_win.h"
#include "dispatcher_win.h"
#include "handler_check_win.h"
#include "message_args_win.h"
#include "resource_args_win.h"

namespace tunewell::standin
{

namespace
{

// The browser's objects live in a single-threaded apartment: a thread that
// joined the multithreaded one cannot enter one. The probe leaves the thread's
// apartment as it found it.
bool inMultithreadedApartment()
{
    const HRESULT entered = CoInitializeEx (nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED (entered))
        CoUninitialize();

    return entered == RPC_E_CHANGED_MODE;
}

StandinCreationPlan currentPlan()
{
    StandinCreationPlan plan {};
    if (auto* control = controlInterface())
        control->readPlan (&plan);

    return plan;
}

// How often a held creation asks whether it has been answered or dropped: a
// timer, so that the held creation leaves the thread's queue idle.
constexpr int heldCreationCheckMilliseconds = 20;

// A browser process that hangs at start, as Microsoft's runtime has been seen
// to do when a new one races the shutdown of the previous one
// (WebView2Feedback issues 920, 1991 and 3254): the handler is kept and never
// invoked until the test answers it, or dropped with its references.
void holdCreation (const std::shared_ptr<Dispatcher>& dispatcher, int ticket, std::function<void()> complete)
{
    dispatcher->postAfter (heldCreationCheckMilliseconds, [dispatcher, ticket, complete = std::move (complete)] {
        const auto plan = currentPlan();
        const bool answered = plan.answeredTickets >= ticket;

        if (! answered && plan.droppedTickets < ticket)
            return holdCreation (dispatcher, ticket, complete);

        if (auto* control = controlInterface())
            control->creationHeld (-1);

        if (answered)
            complete();
    });
}

void completeEnvironment (const std::shared_ptr<Dispatcher>& dispatcher,
                          ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler,
                          const StandinCreationPlan& plan, const BrowserProcess::Attachment& attachment)
{
    // Microsoft's runtime refuses a folder whose browser is still in use.
    if (attachment.racesExit)
    {
        handler->Invoke (HRESULT_FROM_WIN32 (ERROR_INVALID_STATE), nullptr);
        return;
    }

    if (plan.withoutEnvironment)
    {
        handler->Invoke (plan.environmentResult, nullptr);
        return;
    }

    auto environment = ui::ComRef<ICoreWebView2Environment>::adopt (new Environment (dispatcher, attachment.process));
    handler->Invoke (plan.environmentResult, environment.get());
}

} // namespace

namespace
{
// Every environment of this runtime copy, for announcing a new version.
std::vector<Environment*> environments;
} // namespace

Environment::Environment (std::shared_ptr<Dispatcher> threadDispatcher, std::shared_ptr<BrowserProcess> browserProcess)
    : dispatcher (std::move (threadDispatcher)), browser (std::move (browserProcess)),
      announcedVersion (browser->version())
{
    environments.push_back (this);
}

Environment::~Environment()
{
    environments.erase (std::remove (environments.begin(), environments.end(), this), environments.end());
}

void Environment::announceVersion (int version)
{
    if (version <= announcedVersion)
        return;

    announcedVersion = version;
    dispatcher->post ([self = ui::ComRef<ICoreWebView2Environment>::share (this), this] {
        record (L"NewBrowserVersionAvailable");
        for (auto& handler :
             events.handlersOf<ICoreWebView2NewBrowserVersionAvailableEventHandler> (L"NewBrowserVersionAvailable"))
            handler->Invoke (this, nullptr);
    });
}

HRESULT Environment::CreateWebResourceRequest (LPCWSTR, LPCWSTR, IStream*, LPCWSTR,
                                               ICoreWebView2WebResourceRequest** request)
{
    if (request != nullptr)
        *request = nullptr;
    return E_NOTIMPL;
}

HRESULT Environment::CreateCoreWebView2CompositionController (
    HWND, ICoreWebView2CreateCoreWebView2CompositionControllerCompletedHandler*)
{
    return E_NOTIMPL;
}

HRESULT Environment::CreateCoreWebView2PointerInfo (ICoreWebView2PointerInfo** pointerInfo)
{
    if (pointerInfo != nullptr)
        *pointerInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT Environment::GetAutomationProviderForWindow (HWND, IUnknown** provider)
{
    if (provider != nullptr)
        *provider = nullptr;
    return E_NOTIMPL;
}

void Environment::browserExited (const BrowserProcess* exited, bool failed)
{
    // Nothing is queued when nobody listens: a runtime image mapped from
    // memory may go with the view whose controller was the browser's last.
    if (exited != browser.get()
        || events.handlersOf<ICoreWebView2BrowserProcessExitedEventHandler> (L"BrowserProcessExited").empty())
        return;

    const auto kind = failed ? COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_FAILED
                             : COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_NORMAL;
    dispatcher->post ([self = ui::ComRef<ICoreWebView2Environment>::share (this), this, kind] {
        auto args = ui::ComRef<ICoreWebView2BrowserProcessExitedEventArgs>::adopt (new BrowserProcessExitedArgs (kind));
        for (auto& handler : events.handlersOf<ICoreWebView2BrowserProcessExitedEventHandler> (L"BrowserProcessExited"))
            handler->Invoke (this, args.get());
    });
}

void announceBrowserExit (const BrowserProcess* exited, bool failed)
{
    const auto current = environments;
    for (auto* environment : current)
        environment->browserExited (exited, failed);
}

void announceBrowserVersion (int version)
{
    // Copied first: a raise runs later, but an environment may still go
    // while the list is walked.
    const auto current = environments;
    for (auto* environment : current)
        environment->announceVersion (version);
}

HRESULT Environment::CreateCoreWebView2Controller (HWND parentWindow,
                                                   ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler)
{
    return guarded ([&] {
        record (L"CreateCoreWebView2Controller");
        if (handler == nullptr)
            return E_POINTER;
        if (GetCurrentThreadId() != dispatcher->thread())
            return RPC_E_WRONG_THREAD;
        if (! answersAsComObject (handler, IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler))
            return E_NOINTERFACE;

        auto keptHandler = ui::ComRef<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>::share (handler);
        auto self = ui::ComRef<ICoreWebView2Environment>::share (this);
        auto plan = currentPlan();
        dispatcher->postAfter (plan.delayMilliseconds, [this, self, parentWindow, keptHandler, plan] {
            completeController (parentWindow, keptHandler.get(), plan);
        });
        return S_OK;
    });
}

void Environment::completeController (HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler,
                                      const StandinCreationPlan& plan)
{
    // As the real runtime, a bad parent fails the creation through the
    // handler rather than the call.
    if (! IsWindow (parent))
    {
        handler->Invoke (HRESULT_FROM_WIN32 (ERROR_INVALID_WINDOW_HANDLE), nullptr);
        return;
    }

    if (plan.withoutController)
    {
        handler->Invoke (plan.controllerResult, nullptr);
        return;
    }

    // The browser behind this environment is on its way out, or gone.
    if (browser->isEnding())
    {
        handler->Invoke (HRESULT_FROM_WIN32 (ERROR_INVALID_STATE), nullptr);
        return;
    }

    auto* controller = new Controller (parent, this, dispatcher, browser);
    auto created = ui::ComRef<ICoreWebView2Controller>::adopt (controller);
    if (controller->content() == nullptr)
    {
        handler->Invoke (HRESULT_FROM_WIN32 (GetLastError()), nullptr);
        return;
    }

    handler->Invoke (plan.controllerResult, controller);
}

HRESULT Environment::CreateWebResourceResponse (IStream* content, int statusCode, LPCWSTR reasonPhrase, LPCWSTR headers,
                                                ICoreWebView2WebResourceResponse** response)
{
    return guarded ([&] {
        if (response == nullptr)
            return E_POINTER;

        *response = new ResourceResponse (content, statusCode, reasonPhrase != nullptr ? reasonPhrase : L"",
                                          headers != nullptr ? headers : L"");
        return S_OK;
    });
}

HRESULT Environment::get_BrowserVersionString (LPWSTR* versionInfo)
{
    return guarded ([&] {
        return returnText (L"0.0." + std::to_wstring (browser->version()) + L".0 tunewell stand-in", versionInfo);
    });
}

HRESULT startEnvironmentCreation (PCWSTR entryName, PCWSTR userDataFolder,
                                  ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler)
{
    auto* control = controlInterface();
    if (control == nullptr)
        return HRESULT_FROM_WIN32 (ERROR_MOD_NOT_FOUND);

    record (entryName, userDataFolder != nullptr ? userDataFolder : L"");

    // Chromium mode without its driver: no browser to be had, as when the
    // real runtime is missing, rather than a page that nobody sees.
    if (control->browserMode() < 0)
        return HRESULT_FROM_WIN32 (ERROR_CONNECTION_REFUSED);

    StandinCreationPlan plan {};
    control->readPlan (&plan);
    if (FAILED (plan.callResult))
        return plan.callResult;
    if (currentBehaviour().checkApartment && inMultithreadedApartment())
        return RPC_E_CHANGED_MODE;
    if (! answersAsComObject (handler, IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler))
        return E_NOINTERFACE;

    auto dispatcher = Dispatcher::forCurrentThread();
    if (dispatcher == nullptr)
        return HRESULT_FROM_WIN32 (GetLastError());

    const auto behaviour = currentBehaviour();
    const auto attachment = BrowserProcess::attach (userDataFolder != nullptr ? userDataFolder : L"", behaviour);
    const int delay = plan.delayMilliseconds + attachment.delayMilliseconds;
    const bool hangs = attachment.racesExit && behaviour.creationDuringExit == STANDIN_EXIT_RACE_HANGS;

    auto keptHandler = ui::ComRef<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>::share (handler);
    auto complete = [dispatcher, keptHandler, plan, attachment] {
        completeEnvironment (dispatcher, keptHandler.get(), plan, attachment);
    };

    if (plan.holdTicket != 0 || hangs)
    {
        control->creationHeld (1);
        const int ticket = plan.holdTicket != 0 ? plan.holdTicket : control->newHoldTicket();
        holdCreation (dispatcher, ticket, [dispatcher, delay, complete] { dispatcher->postAfter (delay, complete); });
    }
    else
        dispatcher->postAfter (delay, complete);

    return S_OK;
}

TUNEWELL_STANDIN_EVENT (Environment, NewBrowserVersionAvailable, ICoreWebView2NewBrowserVersionAvailableEventHandler)
TUNEWELL_STANDIN_EVENT (Environment, BrowserProcessExited, ICoreWebView2BrowserProcessExitedEventHandler)

} // namespace tunewell::standin
