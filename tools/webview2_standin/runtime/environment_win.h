#pragma once

#include <memory>

#include "../standin_runtime.h"
#include "browser_process_win.h"
#include "com_object_win.h"
#include "dispatcher_win.h"
#include "event_registry_win.h"
#include "webview/webview2_win.h"

namespace tunewell::standin
{

/// A browser environment of one thread: it creates controllers (completing
/// them in a later turn of that thread, as planned by the control) and
/// resource responses, and tells when its browser process exits. It answers
/// as ICoreWebView2Environment and each version up to 5, which brings
/// BrowserProcessExited; what those versions add besides is not modelled.
class Environment final
    : public ComObject<ICoreWebView2Environment5, IID_ICoreWebView2Environment5, IID_ICoreWebView2Environment,
                       IID_ICoreWebView2Environment2, IID_ICoreWebView2Environment3, IID_ICoreWebView2Environment4>
{
public:
    Environment (std::shared_ptr<Dispatcher> dispatcher, std::shared_ptr<BrowserProcess> browser);
    ~Environment() override;

    /// Raises NewBrowserVersionAvailable in a later turn, once per version.
    void announceVersion (int version);

    HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller (
        HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override;
    HRESULT STDMETHODCALLTYPE CreateWebResourceResponse (IStream* content, int statusCode, LPCWSTR reasonPhrase,
                                                         LPCWSTR headers,
                                                         ICoreWebView2WebResourceResponse** response) override;
    HRESULT STDMETHODCALLTYPE get_BrowserVersionString (LPWSTR* versionInfo) override;
    HRESULT STDMETHODCALLTYPE add_NewBrowserVersionAvailable (
        ICoreWebView2NewBrowserVersionAvailableEventHandler* eventHandler, EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_NewBrowserVersionAvailable (EventRegistrationToken token) override;
    HRESULT STDMETHODCALLTYPE CreateWebResourceRequest (LPCWSTR uri, LPCWSTR method, IStream* postData, LPCWSTR headers,
                                                        ICoreWebView2WebResourceRequest** request) override;
    HRESULT STDMETHODCALLTYPE CreateCoreWebView2CompositionController (
        HWND parentWindow, ICoreWebView2CreateCoreWebView2CompositionControllerCompletedHandler* handler) override;
    HRESULT STDMETHODCALLTYPE CreateCoreWebView2PointerInfo (ICoreWebView2PointerInfo** pointerInfo) override;
    HRESULT STDMETHODCALLTYPE GetAutomationProviderForWindow (HWND window, IUnknown** provider) override;
    HRESULT STDMETHODCALLTYPE add_BrowserProcessExited (ICoreWebView2BrowserProcessExitedEventHandler* eventHandler,
                                                        EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE remove_BrowserProcessExited (EventRegistrationToken token) override;

    /// Raises BrowserProcessExited in a later turn when this browser is the
    /// one that exited.
    void browserExited (const BrowserProcess* exited, bool failed);

private:
    void completeController (HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler,
                             const StandinCreationPlan& plan);

    std::shared_ptr<Dispatcher> dispatcher;
    std::shared_ptr<BrowserProcess> browser;
    EventRegistry events;
    bool closed = false;
    int announcedVersion;
};

/// Tells every environment of this runtime, on its own thread, that a newer
/// runtime version is installed. Environments live on the views' thread, so
/// this is called there.
void announceBrowserVersion (int version);

/// Tells every environment of this browser process, on its own thread, that
/// the process exited, normally or by failing.
void announceBrowserExit (const BrowserProcess* exited, bool failed);

/// Starts creating an environment on the calling thread, as planned by the
/// control; the handler (not null) is kept until it ran in a later turn. The
/// log names the call by the export that was used.
HRESULT startEnvironmentCreation (PCWSTR entryName, PCWSTR userDataFolder,
                                  ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

} // namespace tunewell::standin
