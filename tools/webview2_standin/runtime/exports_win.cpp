// The runtime's C boundary: the one export the browser host looks up, and the
// module's entry point.

#include <windows.h>

#include "../standin_runtime.h"
#include "com_ref_win.h"
#include "control_link_win.h"
#include "dispatcher_win.h"
#include "environment_win.h"
#include "webview/webview2_win.h"

using namespace tunewell::standin;

namespace
{

HRESULT startEnvironmentCreation (PCWSTR userDataFolder, ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler)
{
    auto* control = controlInterface();
    if (control == nullptr)
        return HRESULT_FROM_WIN32 (ERROR_MOD_NOT_FOUND);

    record (L"CreateCoreWebView2EnvironmentWithOptions", userDataFolder != nullptr ? userDataFolder : L"");

    StandinCreationPlan plan {};
    control->readPlan (&plan);
    if (FAILED (plan.callResult))
        return plan.callResult;

    auto dispatcher = Dispatcher::forCurrentThread();
    if (dispatcher == nullptr)
        return HRESULT_FROM_WIN32 (GetLastError());

    auto keptHandler = Ref<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>::share (handler);
    dispatcher->postAfterTurns (plan.delayTurns, [dispatcher, keptHandler, plan] {
        if (plan.withoutEnvironment)
        {
            keptHandler->Invoke (plan.environmentResult, nullptr);
            return;
        }

        auto environment = Ref<ICoreWebView2Environment>::adopt (new Environment (dispatcher));
        keptHandler->Invoke (plan.environmentResult, environment.get());
    });
    return S_OK;
}

} // namespace

/// Any thread that pumps messages; the handler is kept (one reference) until
/// it has run in a later turn of that thread. Folder and options are ignored.
extern "C" __declspec (dllexport) HRESULT STDMETHODCALLTYPE CreateCoreWebView2EnvironmentWithOptions (
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler)
{
    (void) browserExecutableFolder;
    (void) environmentOptions;

    if (environmentCreatedHandler == nullptr)
        return E_POINTER;

    try
    {
        return startEnvironmentCreation (userDataFolder, environmentCreatedHandler);
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
}

BOOL WINAPI DllMain (HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH)
        Dispatcher::unregisterWindowClass();

    return TRUE;
}
