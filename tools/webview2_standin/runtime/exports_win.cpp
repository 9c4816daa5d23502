// The runtime's C boundary: the export that a browser host maps and calls in
// place of Microsoft's loader, the one that Microsoft's loader calls in an
// installed runtime's EmbeddedBrowserWebView.dll, and the module's entry point.

#include <windows.h>

#include "dispatcher_win.h"
#include "environment_win.h"
#include "webview/webview2_win.h"

using tunewell::standin::Dispatcher;
using tunewell::standin::startEnvironmentCreation;

namespace
{
/// Both exports answer alike: a null handler is refused, and nothing thrown
/// crosses the C boundary.
HRESULT startCreationAtTheBoundary (PCWSTR entryName, PCWSTR userDataFolder,
                                    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler)
{
    if (handler == nullptr)
        return E_POINTER;

    try
    {
        return startEnvironmentCreation (entryName, userDataFolder, handler);
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
}
} // namespace

/// Any thread that pumps messages; the handler is kept (one reference) until
/// it has run in a later turn of that thread. Folder and options are ignored.
extern "C" __declspec(dllexport) HRESULT STDMETHODCALLTYPE CreateCoreWebView2EnvironmentWithOptions (
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler)
{
    (void)browserExecutableFolder;
    (void)environmentOptions;
    return startCreationAtTheBoundary (L"CreateCoreWebView2EnvironmentWithOptions", userDataFolder,
                                       environmentCreatedHandler);
}

/// Called by Microsoft's loader on the thread that called it, with the
/// application's handler or one of its own; same rules as above. The instance
/// check, runtime type and options are ignored.
extern "C" __declspec(dllexport) HRESULT STDMETHODCALLTYPE CreateWebViewEnvironmentWithOptionsInternal (
    bool checkRunningInstance, int runtimeType, PCWSTR userDataFolder, IUnknown* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler)
{
    (void)checkRunningInstance;
    (void)runtimeType;
    (void)environmentOptions;
    return startCreationAtTheBoundary (L"CreateWebViewEnvironmentWithOptionsInternal", userDataFolder,
                                       environmentCreatedHandler);
}

BOOL WINAPI DllMain (HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH)
        Dispatcher::unregisterWindowClass();

    return TRUE;
}
