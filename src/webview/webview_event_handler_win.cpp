#include "webview/webview_event_handler_win.h"

#include "messageloop/library_frames.h"
#include "messageloop/message_window.h"

namespace tunewell::ui
{

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::QueryInterface (REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;

    *object = interfaceFor (iid);

    if (*object == nullptr)
        return E_NOINTERFACE;

    AddRef();
    return S_OK;
}

// Each base has an IUnknown of its own; the first one's is the object's
// identity, so that every query for IUnknown gives the same pointer.
void* WebView2Host::EventHandler::interfaceFor (REFIID iid)
{
    if (IsEqualIID (iid, IID_IUnknown)
        || IsEqualIID (iid, IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler))
        return static_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*> (this);
    if (IsEqualIID (iid, IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler))
        return static_cast<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*> (this);
    if (IsEqualIID (iid, IID_ICoreWebView2WebMessageReceivedEventHandler))
        return static_cast<ICoreWebView2WebMessageReceivedEventHandler*> (this);
    if (IsEqualIID (iid, IID_ICoreWebView2PermissionRequestedEventHandler))
        return static_cast<ICoreWebView2PermissionRequestedEventHandler*> (this);
    if (IsEqualIID (iid, IID_ICoreWebView2WebResourceRequestedEventHandler))
        return static_cast<ICoreWebView2WebResourceRequestedEventHandler*> (this);
    if (IsEqualIID (iid, IID_ICoreWebView2ProcessFailedEventHandler))
        return static_cast<ICoreWebView2ProcessFailedEventHandler*> (this);
    if (IsEqualIID (iid, IID_ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler))
        return static_cast<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler*> (this);
    if (IsEqualIID (iid, IID_ICoreWebView2NewBrowserVersionAvailableEventHandler))
        return static_cast<ICoreWebView2NewBrowserVersionAvailableEventHandler*> (this);
    if (IsEqualIID (iid, IID_ICoreWebView2NavigationStartingEventHandler))
        return static_cast<ICoreWebView2NavigationStartingEventHandler*> (this);
    if (IsEqualIID (iid, IID_ICoreWebView2NewWindowRequestedEventHandler))
        return static_cast<ICoreWebView2NewWindowRequestedEventHandler*> (this);

    return nullptr;
}

ULONG STDMETHODCALLTYPE WebView2Host::EventHandler::AddRef()
{
    return ++refCount;
}

ULONG STDMETHODCALLTYPE WebView2Host::EventHandler::Release()
{
    const auto remaining = --refCount;

    if (remaining == 0)
    {
        auto loader = std::move (keptLoader);
        delete this;
        unmapAfterCurrentMessage (std::move (loader));
    }

    return remaining;
}

// The last release of an abandoned creation's handler comes from the
// runtime, through the loader's own handler, whose code is still running
// while this returns: the loader's image goes only once that call is over.
void WebView2Host::EventHandler::unmapAfterCurrentMessage (std::shared_ptr<memory::MemoryDLL> kept)
{
    if (kept == nullptr)
        return;

    // Unmapped never, rather than under running code, when it cannot wait.
    if (! messageloop::postCallbackToSharedWindow ([kept] {}))
        static_cast<void> (new std::shared_ptr<memory::MemoryDLL> (kept));
}

// Nothing may unwind into the runtime, and a detached handler has no view to
// reach any more. A page's call may end the extension that owns the view;
// the frame keeps both until the callback is over.
template <typename Callback>
HRESULT WebView2Host::EventHandler::forward (Callback&& callback)
{
    const messageloop::LibraryFrame frame;

    if (owner == nullptr)
        return E_FAIL;

    try
    {
        return callback (*owner);
    }
    catch (...)
    {
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (HRESULT result, ICoreWebView2Environment* environment)
{
    return forward ([&] (WebView2Host& host) { return host.onEnvironmentCreated (result, environment); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (HRESULT result, ICoreWebView2Controller* controller)
{
    return forward ([&] (WebView2Host& host) { return host.onControllerCreated (result, controller); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2* sender,
                                                              ICoreWebView2WebMessageReceivedEventArgs* args)
{
    return forward ([&] (WebView2Host& host) { return host.onWebMessageReceived (sender, args); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2*,
                                                              ICoreWebView2PermissionRequestedEventArgs* args)
{
    return forward ([&] (WebView2Host& host) { return host.onPermissionRequested (args); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2*,
                                                              ICoreWebView2WebResourceRequestedEventArgs* args)
{
    return forward ([&] (WebView2Host& host) { return host.onResourceRequested (args); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2*, ICoreWebView2ProcessFailedEventArgs* args)
{
    return forward ([&] (WebView2Host& host) { return host.onProcessFailed (args); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2Environment*, IUnknown*)
{
    return forward ([] (WebView2Host& host) { return host.onNewBrowserVersion(); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2*,
                                                              ICoreWebView2NavigationStartingEventArgs* args)
{
    return forward ([&] (WebView2Host& host) { return host.onNavigationStarting (args); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2*,
                                                              ICoreWebView2NewWindowRequestedEventArgs* args)
{
    return forward ([&] (WebView2Host& host) { return host.onNewWindowRequested (args); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (HRESULT, LPCWSTR)
{
    return forward ([] (WebView2Host& host) { return host.onScriptAdded(); });
}

} // namespace tunewell::ui
