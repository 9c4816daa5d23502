#include "webview/webview_event_handler_win.h"

namespace tunewell::ui
{

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::QueryInterface (REFIID, void**)
{
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE WebView2Host::EventHandler::AddRef()
{
    return ++refCount;
}

ULONG STDMETHODCALLTYPE WebView2Host::EventHandler::Release()
{
    const auto remaining = --refCount;

    if (remaining == 0)
        delete this;

    return remaining;
}

// Nothing may unwind into the runtime, and a detached handler has no view to
// reach any more.
template <typename Callback>
HRESULT WebView2Host::EventHandler::forward (Callback&& callback)
{
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

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args)
{
    return forward ([&] (WebView2Host& host) { return host.onWebMessageReceived (sender, args); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2*, ICoreWebView2PermissionRequestedEventArgs* args)
{
    return forward ([&] (WebView2Host& host) { return host.onPermissionRequested (args); });
}

HRESULT STDMETHODCALLTYPE WebView2Host::EventHandler::Invoke (ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args)
{
    return forward ([&] (WebView2Host& host) { return host.onResourceRequested (args); });
}

} // namespace tunewell::ui
