#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "webview/module_pin_win.h"
#include "webview/webview2_win.h"
#include "webview/webview_win.h"

namespace tunewell::ui
{

/// The one object through which the browser calls back into a view: the
/// three completion handlers and the seven event handlers. The runtime keeps its own
/// references, so the handler can outlive the view; the view detaches it when
/// it goes away, and every later callback answers E_FAIL.
class WebView2Host::EventHandler final : public ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                                         public ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                                         public ICoreWebView2WebMessageReceivedEventHandler,
                                         public ICoreWebView2PermissionRequestedEventHandler,
                                         public ICoreWebView2WebResourceRequestedEventHandler,
                                         public ICoreWebView2ProcessFailedEventHandler,
                                         public ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler,
                                         public ICoreWebView2NewBrowserVersionAvailableEventHandler,
                                         public ICoreWebView2NavigationStartingEventHandler,
                                         public ICoreWebView2NewWindowRequestedEventHandler
{
public:
    /// A null host makes a handler that is detached from the start.
    explicit EventHandler (WebView2Host* ownerHost) : owner (ownerHost) {}

    EventHandler (const EventHandler&) = delete;
    EventHandler& operator= (const EventHandler&) = delete;

    /// As COM requires of any object handed to a caller: IUnknown and each of
    /// the ten handler interfaces, every other identifier refused.
    HRESULT STDMETHODCALLTYPE QueryInterface (REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Invoke (HRESULT result, ICoreWebView2Environment* environment) override;
    virtual ~EventHandler() = default;
    HRESULT STDMETHODCALLTYPE Invoke (HRESULT result, ICoreWebView2Controller* controller) override;
    HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args) override;
    HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2* sender, ICoreWebView2PermissionRequestedEventArgs* args) override;
    HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args) override;
    HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2* sender, ICoreWebView2ProcessFailedEventArgs* args) override;
    HRESULT STDMETHODCALLTYPE Invoke (HRESULT result, LPCWSTR scriptId) override;
    HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2Environment* sender, IUnknown* args) override;
    HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) override;
    HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args) override;

    /// Called by the view as it is destroyed; creating thread only.
    void detach() { owner = nullptr; }

    /// References held now, the view's own included.
    uint32_t referenceCount() const { return refCount.load(); }

    /// The view goes while the runtime still holds this handler (a creation
    /// given up on, events still queued): the runtime may yet run code of the
    /// loader, whose image then lives exactly as long as this handler.
    void keepLoaderUntilReleased (std::shared_ptr<memory::MemoryDLL> loader) { keptLoader = std::move (loader); }

private:
    // First, so that it goes last: nothing of this object runs unpinned.
    ModulePin pin;
    WebView2Host* owner;
    std::shared_ptr<memory::MemoryDLL> keptLoader;

    static void unmapAfterCurrentMessage (std::shared_ptr<memory::MemoryDLL> loader);
    std::atomic<uint32_t> refCount { 0 };

    void* interfaceFor (REFIID iid);

    template <typename Callback>
    HRESULT forward (Callback&& callback);
};

} // namespace tunewell::ui
