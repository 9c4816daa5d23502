#include "webview/webview_win.h"

#include <utility>

#include "messageloop/library_frames.h"
#include "text/utf16.h"
#include "webview/bridge_scripts.h"
#include "webview/browser_lockdown_win.h"
#include "webview/webview2_browsers.h"
#include "webview/webview_event_handler_win.h"
#include "webview/webview_fallback_win.h"
#include "window/content_messages_win.h"

namespace tunewell::ui
{

namespace
{
// ".localhost" names are reserved for loopback use, so no real site can ever
// answer under this root.
constexpr char resourceRootURL[] = "https://tunewell.localhost/";
constexpr int initialViewSize = 400;
} // namespace

BrowserFactory webView2Browsers (const unsigned char* loaderImage, std::size_t loaderImageSize)
{
    return [loaderImage, loaderImageSize] (WebView& owner, const WebView::Options& options) {
        return std::unique_ptr<WebView::Browser> (new WebView2Host (owner, options, loaderImage, loaderImageSize));
    };
}

WebView2Host::WebView2Host (WebView& ownerView, const WebView::Options& options, const unsigned char* loaderImage,
                            std::size_t loaderImageSize)
    : Browser (ownerView), windowClass (L"TunewellWebView", wndProc), rootURL (resourceRootURL),
      loaderModule (std::make_shared<memory::MemoryDLL> (loaderImage, loaderImageSize)),
      resourceProvider (options.resourceProvider), creationAbandoned (options.creationAbandoned),
      browserUpdateAvailable (options.browserUpdateAvailable), self (std::make_shared<WebView2Host*> (this)),
      navigationGuard (resourceProvider ? rootURL : std::string())
{
    if (loaderModule->isEmpty() || ! createViewWindow (static_cast<HWND> (options.parentWindow)))
        return;

    if (createEmbeddedWebView())
    {
        hideNotice();
        resizeContentToFit();
        takeFocusHeldByWindow();
    }
    else
        showNotice (troubleNotice());
}

WebView2Host::~WebView2Host()
{
    // Messages sent while the window goes away must not reach a host that is
    // half destroyed.
    if (viewWindow.get() != nullptr)
        SetWindowLongPtrA (viewWindow.get(), GWLP_USERDATA, 0);

    releaseBrowser();

    if (comInitialised)
        CoUninitialize();
}

void WebView2Host::releaseBrowser()
{
    if (browserEnvironment)
        browserEnvironment->remove_NewBrowserVersionAvailable (updateToken);

    // Closing releases the runtime's hold on our handlers at once; a release
    // alone leaves that to whenever its last reference goes.
    if (browserController)
        browserController->Close();

    browserView.reset();
    browserController.reset();
    browserEnvironment.reset();

    if (! eventHandler)
        return;

    eventHandler->detach();

    if (eventHandler->referenceCount() > 1)
        eventHandler->keepLoaderUntilReleased (loaderModule);

    eventHandler.reset();
}

// The browser is created in the window that will show it: one made in a
// parentless window and moved afterwards may stay blank. In a parent, the
// view fills it from the start, telling that the browser starts, which can
// take seconds.
bool WebView2Host::createViewWindow (HWND parent)
{
    const DWORD style = parent != nullptr ? WS_CHILD | WS_VISIBLE : WS_POPUP;
    const int position = parent != nullptr ? 0 : CW_USEDEFAULT;
    RECT area { 0, 0, initialViewSize, initialViewSize };
    if (parent != nullptr)
        GetClientRect (parent, &area);

    HWND window = CreateWindowExW (0, windowClass.classIdentifier(), L"", style, position, position,
                                   area.right - area.left, area.bottom - area.top, parent, nullptr,
                                   windowClass.moduleHandle(), nullptr);
    if (window == nullptr)
        return false;

    SetWindowLongPtrA (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (this));
    viewWindow.reset (window);

    if (parent != nullptr)
        showNotice (std::wstring (startingNotice));

    return true;
}

bool WebView2Host::createEmbeddedWebView()
{
    userDataFolder = getUserDataFolder();

    if (userDataFolder.empty())
        return false;

    if (! enterApartment())
        return false;

    if (! startEnvironmentCreation())
        return false;

    waitForCreation();

    if (creation.load() != Creation::ready)
    {
        // Given up on while its bridge was still being added.
        if (browserController)
            browserController->put_IsVisible (FALSE);

        return false;
    }

    wireResources();
    if (resourceProvider)
        navigate ({ false, text::utf8ToUtf16 (rootURL) });

    return true;
}

// The browser's objects live in a single-threaded apartment; a thread that
// already joined the multithreaded one cannot host them.
bool WebView2Host::enterApartment()
{
    const HRESULT result = CoInitializeEx (nullptr, COINIT_APARTMENTTHREADED);
    comInitialised = (result == S_OK || result == S_FALSE);
    return comInitialised;
}

// The loader refuses at once when it finds no runtime that it can use; the
// runtime's own failures come later, through the handlers.
bool WebView2Host::startEnvironmentCreation()
{
    eventHandler = ComRef<EventHandler>::share (new EventHandler (this));
    creationPending.test_and_set();
    creationFailure = S_OK;
    refusedAtCall = true;

    auto createEnvironment = reinterpret_cast<CreateCoreWebView2EnvironmentWithOptionsFunction> (
        loaderModule->lookupFunction (createEnvironmentExportName));

    creation.store (Creation::pending);
    const HRESULT result = createEnvironment != nullptr
                             ? createEnvironment (nullptr, userDataFolder.c_str(), nullptr, eventHandler.get())
                             : E_NOINTERFACE;

    if (result == S_OK)
    {
        refusedAtCall = false;
        return true;
    }

    creationFailure = result;
    finishCreation (Creation::failed);
    return false;
}

// Dispatches every message of the thread, so host callbacks and other windows
// keep running while the browser starts. A browser that never starts (its
// process hangs) must not hold the thread: whoever abandons the creation
// ends the wait.
void WebView2Host::waitForCreation()
{
    while (creationPending.test_and_set())
    {
        if (creationAbandoned && creationAbandoned())
            break;

        MSG message {};
        const BOOL received = GetMessageA (&message, nullptr, 0, 0);

        if (received == 0)
        {
            quitExitCode = static_cast<int> (message.wParam);
            break;
        }

        if (received == -1)
            continue;

        TranslateMessage (&message);
        DispatchMessageA (&message);
    }

    // A quit or an abandonment ends the wait while creation is still under
    // way; a browser that arrives afterwards is refused.
    if (creation.load() == Creation::pending)
        finishCreation (Creation::failed);
}

void WebView2Host::finishCreation (Creation outcome)
{
    creation.store (outcome);
    creationPending.clear();

    // A recreation has no wait to end: it finishes here.
    if (std::exchange (recreating, false))
    {
        if (outcome == Creation::ready)
            restorePage();
        else
        {
            browserStopped = true;
            showNotice (troubleNotice());
        }
    }
}

void WebView2Host::wireResources()
{
    if (! resourceProvider)
        return;

    EventRegistrationToken token {};
    browserView->AddWebResourceRequestedFilter (text::utf8ToUtf16 (rootURL + "*").c_str(),
                                                COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL);
    browserView->add_WebResourceRequested (eventHandler.get(), &token);
}

HRESULT WebView2Host::onEnvironmentCreated (HRESULT result, ICoreWebView2Environment* environment)
{
    if (creation.load() != Creation::pending || browserEnvironment)
        return E_FAIL;

    if (FAILED (result) || environment == nullptr)
    {
        creationFailure = result;
        finishCreation (Creation::failed);
        return E_FAIL;
    }

    browserEnvironment = ComRef<ICoreWebView2Environment>::share (environment);
    environment->add_NewBrowserVersionAvailable (eventHandler.get(), &updateToken);

    if (FAILED (environment->CreateCoreWebView2Controller (viewWindow.get(), eventHandler.get())))
    {
        finishCreation (Creation::failed);
        return E_FAIL;
    }

    return S_OK;
}

HRESULT WebView2Host::onControllerCreated (HRESULT result, ICoreWebView2Controller* controller)
{
    if (creation.load() != Creation::pending)
        return E_FAIL;

    ComRef<ICoreWebView2> view;

    if (FAILED (result) || controller == nullptr || FAILED (controller->get_CoreWebView2 (view.receive())) || ! view)
    {
        creationFailure = result;
        finishCreation (Creation::failed);
        return E_FAIL;
    }

    // Before anything can load: the first document already meets the
    // restricted browser.
    lockDownBrowser (*view.get(), *controller);

    EventRegistrationToken token {};
    view->add_NavigationStarting (eventHandler.get(), &token);
    view->add_NewWindowRequested (eventHandler.get(), &token);
    view->add_WebMessageReceived (eventHandler.get(), &token);
    view->add_PermissionRequested (eventHandler.get(), &token);
    view->add_ProcessFailed (eventHandler.get(), &token);

    browserController = ComRef<ICoreWebView2Controller>::share (controller);
    browserView = std::move (view);

    // Every binding stub calls the bridge, so the browser counts as ready
    // only once the bridge applies to the documents to come.
    if (! addDocumentScript (std::string (bridgeScript)))
        finishCreation (Creation::ready);

    return S_OK;
}

HRESULT WebView2Host::onScriptAdded()
{
    if (scriptAddsPending > 0)
        --scriptAddsPending;

    if (scriptAddsPending > 0)
        return S_OK;

    if (creation.load() == Creation::pending && browserView)
        finishCreation (Creation::ready);
    else if (deferredNavigation && isBrowserCreated())
        navigate (*std::exchange (deferredNavigation, std::nullopt));

    return S_OK;
}

HRESULT WebView2Host::onWebMessageReceived (ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args)
{
    if (args == nullptr)
        return E_FAIL;

    // A frame or a page that is not the host's own must not reach the host.
    if (! isFromHostDocument (*args))
        return S_OK;

    CoTaskText posted;

    // Only strings are calls; anything else the page posts is dropped.
    if (FAILED (args->TryGetWebMessageAsString (posted.receive())) || posted.get() == nullptr)
        return S_OK;

    const std::wstring message = posted.toWide();
    hangWatch.pageResponded();

    // A bound function may destroy this view, so nothing of it is touched
    // after the dispatch.
    deliverWebMessage (text::utf16ToUtf8 (message));

    if (sender != nullptr)
        sender->PostWebMessageAsString (message.c_str());

    return S_OK;
}

HRESULT WebView2Host::onPermissionRequested (ICoreWebView2PermissionRequestedEventArgs* args)
{
    if (args == nullptr)
        return E_FAIL;

    CoTaskText uri;
    if (FAILED (args->get_Uri (uri.receive())) || uri.get() == nullptr
        || ! navigationGuard.isHostDocument (text::utf16ToUtf8 (uri.toWide())))
        return args->put_State (COREWEBVIEW2_PERMISSION_STATE_DENY);

    auto kind = COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION;

    if (SUCCEEDED (args->get_PermissionKind (&kind)) && kind == COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ)
        args->put_State (COREWEBVIEW2_PERMISSION_STATE_ALLOW);

    return S_OK;
}

bool WebView2Host::isFromHostDocument (ICoreWebView2WebMessageReceivedEventArgs& args) const
{
    CoTaskText source;
    return SUCCEEDED (args.get_Source (source.receive())) && source.get() != nullptr
        && navigationGuard.isHostDocument (text::utf16ToUtf8 (source.toWide()));
}

// Cancelled unless the view itself opened it: a dropped file, a link, a
// script or a step back would otherwise replace the page.
HRESULT WebView2Host::onNavigationStarting (ICoreWebView2NavigationStartingEventArgs* args)
{
    if (args == nullptr)
        return E_FAIL;

    // Cancelled first, so that it stays cancelled if anything below fails.
    args->put_Cancel (TRUE);

    CoTaskText uri;
    if (SUCCEEDED (args->get_Uri (uri.receive())) && uri.get() != nullptr
        && navigationGuard.admits (text::utf16ToUtf8 (uri.toWide())))
        args->put_Cancel (FALSE);

    return S_OK;
}

// Handled with no window given: nothing opens.
HRESULT WebView2Host::onNewWindowRequested (ICoreWebView2NewWindowRequestedEventArgs* args)
{
    return args != nullptr ? args->put_Handled (TRUE) : E_FAIL;
}

void WebView2Host::addInitScript (const std::string& script)
{
    documentScripts.push_back (script);

    if (isBrowserCreated())
        addDocumentScript (script);
}

// Such a script applies only once its completion handler has run; a page
// opened before then would lack it.
bool WebView2Host::addDocumentScript (const std::string& script)
{
    ++scriptAddsPending;

    if (SUCCEEDED (
            browserView->AddScriptToExecuteOnDocumentCreated (text::utf8ToUtf16 (script).c_str(), eventHandler.get())))
        return true;

    --scriptAddsPending;
    return false;
}

void WebView2Host::executeScript (const std::string& script)
{
    if (isBrowserCreated())
        browserView->ExecuteScript (text::utf8ToUtf16 (script).c_str(), nullptr);
}

void WebView2Host::navigateToString (const std::string& html)
{
    if (isBrowserCreated())
        navigate ({ true, text::utf8ToUtf16 (html) });
}

// Only the latest page asked for is opened once the scripts apply, as a
// later navigation replaces an earlier one.
void WebView2Host::navigate (Navigation navigation)
{
    currentPage = navigation;

    if (scriptAddsPending > 0)
    {
        deferredNavigation = std::move (navigation);
        return;
    }

    navigationGuard.hostNavigates (navigation.isDocument);

    if (navigation.isDocument)
        browserView->NavigateToString (navigation.text.c_str());
    else
        browserView->Navigate (navigation.text.c_str());
}

void* WebView2Host::getViewWindow() const
{
    return viewWindow.get();
}

bool WebView2Host::isBrowserCreated() const
{
    return creation.load() == Creation::ready;
}

std::optional<int> WebView2Host::quitTakenDuringCreation() const
{
    return quitExitCode;
}

void WebView2Host::showNotice (const std::wstring& text)
{
    if (notice == nullptr)
        notice = createFallbackNotice (viewWindow.get(), text);
    else
    {
        SetWindowTextW (notice, text.c_str());
        ShowWindow (notice, SW_SHOWNA);
    }

    resizeContentToFit();
}

void WebView2Host::hideNotice()
{
    if (notice != nullptr)
        ShowWindow (notice, SW_HIDE);
}

std::wstring WebView2Host::troubleNotice() const
{
    const auto trouble = browserStopped ? BrowserTrouble::stopped : creationTrouble (creationFailure, refusedAtCall);
    return troubleNoticeText (trouble, userDataFolder);
}

void WebView2Host::resizeContentToFit()
{
    if (notice != nullptr)
        fitFallbackNotice (viewWindow.get(), notice);

    if (! browserController)
        return;

    RECT windowRect {};
    GetWindowRect (viewWindow.get(), &windowRect);
    browserController->put_Bounds (
        RECT { 0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top });
}

void WebView2Host::setBrowserVisible (bool visible)
{
    if (isBrowserCreated())
        browserController->put_IsVisible (visible ? TRUE : FALSE);
}

// Keys reach the page only once the browser has the focus: a page turner's
// Page Down must scroll the list without a click first.
void WebView2Host::moveFocusIntoBrowser()
{
    if (isBrowserCreated())
        browserController->MoveFocus (COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);
}

// The window that shows the view took the focus while the browser started.
void WebView2Host::takeFocusHeldByWindow()
{
    HWND focus = GetFocus();
    if (focus == nullptr || (focus != viewWindow.get() && focus != GetParent (viewWindow.get())))
        return;

    if (focus == viewWindow.get())
        moveFocusIntoBrowser();
    else
        SetFocus (viewWindow.get());
}

// Accessibility and some of the browser's dialogs place themselves on the
// screen, so the browser must hear of every move of the window around it.
void WebView2Host::tellParentMoved()
{
    if (isBrowserCreated())
        browserController->NotifyParentWindowPositionChanged();
}

LRESULT CALLBACK WebView2Host::wndProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const messageloop::LibraryFrame frame;
    auto* host = reinterpret_cast<WebView2Host*> (GetWindowLongPtrA (window, GWLP_USERDATA));

    if (host != nullptr)
    {
        if (message == WM_SIZE)
            host->resizeContentToFit();
        else if (message == WM_SHOWWINDOW)
            host->setBrowserVisible (wParam != 0);
        else if (message == WM_SETFOCUS)
            host->moveFocusIntoBrowser();
        else if (message == parentWindowMovedMessage())
            host->tellParentMoved();
    }

    return DefWindowProcW (window, message, wParam, lParam);
}

} // namespace tunewell::ui
