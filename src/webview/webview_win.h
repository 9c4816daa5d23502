#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "loader/dynamic_library.h"
#include "loader/memory_dll.h"
#include "webview/browser_recovery.h"
#include "webview/com_ref_win.h"
#include "webview/navigation_guard.h"
#include "webview/webview.h"
#include "webview/webview2_win.h"
#include "window/hwnd_holder_win.h"
#include "window/window_class_win.h"

namespace tunewell::ui
{

/// The Windows side of a WebView: a window (the view window, a child of the
/// options' parent window, or a hidden popup without one) holding a WebView2
/// browser whose loader is mapped from an image in memory (see
/// webview2_browsers.h). Everything runs on the creating thread, whose message dispatch
/// delivers the browser's callbacks.
class WebView2Host final : public WebView::Browser
{
public:
    class EventHandler;

    /// Creates the view window and the browser, dispatching the thread's
    /// messages until the browser exists or its creation fails. Never throws
    /// for a missing browser: the view then exists without one.
    WebView2Host (WebView& ownerView, const WebView::Options& options, const unsigned char* loaderImage,
                  std::size_t loaderImageSize);
    ~WebView2Host() override;

    WebView2Host (const WebView2Host&) = delete;
    WebView2Host& operator= (const WebView2Host&) = delete;

    void addInitScript (const std::string& script) override;
    void executeScript (const std::string& script) override;
    void navigateToString (const std::string& html) override;
    void* getViewWindow() const override;
    bool isBrowserCreated() const override;
    std::optional<int> quitTakenDuringCreation() const override;

    // Completion and event callbacks, reached through the EventHandler.
    HRESULT onEnvironmentCreated (HRESULT result, ICoreWebView2Environment* environment);
    HRESULT onControllerCreated (HRESULT result, ICoreWebView2Controller* controller);
    HRESULT onWebMessageReceived (ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args);
    HRESULT onPermissionRequested (ICoreWebView2PermissionRequestedEventArgs* args);
    HRESULT onResourceRequested (ICoreWebView2WebResourceRequestedEventArgs* args);
    HRESULT onProcessFailed (ICoreWebView2ProcessFailedEventArgs* args);
    HRESULT onScriptAdded();
    HRESULT onNewBrowserVersion();
    HRESULT onNavigationStarting (ICoreWebView2NavigationStartingEventArgs* args);
    HRESULT onNewWindowRequested (ICoreWebView2NewWindowRequestedEventArgs* args);

private:
    enum class Creation
    {
        notStarted,
        pending,
        ready,
        failed
    };

    /// A page to open once every script added for documents to come has
    /// been applied: a URL, or a document string.
    struct Navigation
    {
        bool isDocument = false;
        std::wstring text;
    };

    WindowClass windowClass;
    HWNDHolder viewWindow;
    std::string rootURL;
    // Shared with handlers that the runtime still holds after the browser
    // they served was let go (webview_event_handler_win.h).
    std::shared_ptr<memory::MemoryDLL> loaderModule;
    std::function<std::optional<WebView::Options::Resource> (const std::string&)> resourceProvider;
    std::function<bool()> creationAbandoned;
    std::function<void()> browserUpdateAvailable;
    std::wstring userDataFolder;
    ComRef<ICoreWebView2Environment> browserEnvironment;
    EventRegistrationToken updateToken {};
    ComRef<ICoreWebView2> browserView;
    ComRef<ICoreWebView2Controller> browserController;
    std::atomic_flag creationPending = ATOMIC_FLAG_INIT;

    // Whether the creation ended in a browser that exists; a failure reported
    // by a callback ends the wait as well as a successful controller does.
    std::atomic<Creation> creation { Creation::notStarted };
    std::optional<int> quitExitCode;
    ComRef<EventHandler> eventHandler;
    bool comInitialised = false;
    // The text child that tells the performer what goes on instead of the
    // page: the start, or why there is no browser.
    HWND notice = nullptr;
    // The result that ended the creation, and whether the loader's call
    // itself refused it.
    HRESULT creationFailure = S_OK;
    bool refusedAtCall = false;
    // The browser process died and a new browser is being made in the same
    // window; its page and scripts follow it.
    bool recreating = false;
    // It died for good: recreating it failed, or it kept dying.
    bool browserStopped = false;
    RecreationBudget recreations;
    HangWatch hangWatch;
    // Scripts for documents to come, after the bridge, in order, and the
    // page last opened: what a recreated browser is given again.
    std::vector<std::string> documentScripts;
    std::optional<Navigation> currentPage;
    // Callbacks queued for later check it: the host may be gone by then.
    std::shared_ptr<WebView2Host*> self;
    // The adds whose completion has not been reported yet; a page opened
    // meanwhile would run without their scripts.
    int scriptAddsPending = 0;
    std::optional<Navigation> deferredNavigation;
    // Only the pages this view opens load in it, and only they call it.
    NavigationGuard navigationGuard;
    std::unique_ptr<file::DynamicLibrary> streamLibrary;

    bool createViewWindow (HWND parent);
    bool createEmbeddedWebView();
    bool enterApartment();
    bool startEnvironmentCreation();
    void waitForCreation();
    void finishCreation (Creation outcome);
    void wireResources();
    void showNotice (const std::wstring& text);
    void hideNotice();
    std::wstring troubleNotice() const;
    void reloadPage();
    void recreateBrowserLater();
    void recreateBrowser();
    void restorePage();
    void navigate (Navigation navigation);
    bool addDocumentScript (const std::string& script);
    void resizeContentToFit();
    void setBrowserVisible (bool visible);
    void moveFocusIntoBrowser();
    void takeFocusHeldByWindow();
    void tellParentMoved();
    bool isFromHostDocument (ICoreWebView2WebMessageReceivedEventArgs& args) const;
    /// Lets go of the browser; its handler answers nothing from now on.
    void releaseBrowser();
    ComRef<IStream> makeResponseStream (const std::vector<uint8_t>& content);
    HRESULT respondWith (ICoreWebView2WebResourceRequestedEventArgs* args,
                         const std::optional<WebView::Options::Resource>& resource);

    static std::wstring getUserDataFolder();
    static LRESULT CALLBACK wndProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace tunewell::ui
