// What the browser host does when a process of its browser fails, and when a
// newer runtime is installed, as Microsoft documents for WebView2
// (concepts/process-related-events): a renderer that exited or hangs is
// reloaded, a browser process that exited is made again in the same window
// with the same page and scripts, and every other failure heals by itself.

#include <windows.h>

#include <memory>
#include <utility>

#include "messageloop/message_window.h"
#include "webview/webview_event_handler_win.h"
#include "webview/webview_fallback_win.h"
#include "webview/webview_win.h"

namespace tunewell::ui
{

HRESULT WebView2Host::onProcessFailed (ICoreWebView2ProcessFailedEventArgs* args)
{
    auto kind = COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_EXITED;
    if (args != nullptr)
        args->get_ProcessFailedKind (&kind);

    const auto response = responseToProcessFailure (static_cast<int> (kind));

    // While it is being created, only the browser's own death ends the
    // creation; the wait, or a recreation, then ends with the notice.
    if (creation.load() == Creation::pending)
    {
        if (response == FailureResponse::recreate)
        {
            deferredNavigation.reset();
            finishCreation (Creation::failed);
        }
        return S_OK;
    }

    if (creation.load() != Creation::ready)
        return S_OK;

    switch (response)
    {
        case FailureResponse::none:
            break;
        case FailureResponse::reload:
            reloadPage();
            break;
        case FailureResponse::reloadWhenHungTooLong:
            if (hangWatch.reportedUnresponsive (GetTickCount64()))
                reloadPage();
            break;
        case FailureResponse::recreate:
            recreateBrowserLater();
            break;
    }

    return S_OK;
}

// The same page again in the same view: the scripts for documents to come
// stay with the view, so the page's functions are bound as before, and its
// load asks for its content anew.
void WebView2Host::reloadPage()
{
    hangWatch.pageResponded();

    if (currentPage)
        navigate (*currentPage);
}

// The runtime closes every view of the dead browser as it tells of it, so
// nothing of the old browser is touched from here on; the new one is made
// once the runtime's call is over.
void WebView2Host::recreateBrowserLater()
{
    creation.store (Creation::failed);
    deferredNavigation.reset();
    showNotice (std::wstring (startingNotice));

    std::weak_ptr<WebView2Host*> host = self;
    const bool queued = messageloop::postCallbackToSharedWindow ([host] {
        if (auto alive = host.lock())
            (*alive)->recreateBrowser();
    });

    if (! queued)
    {
        browserStopped = true;
        showNotice (troubleNotice());
    }
}

void WebView2Host::recreateBrowser()
{
    if (creation.load() != Creation::failed || browserStopped)
        return;

    if (browserController)
        browserController->put_IsVisible (FALSE);

    releaseBrowser();
    scriptAddsPending = 0;

    if (! recreations.take (GetTickCount64()))
    {
        browserStopped = true;
        showNotice (troubleNotice());
        return;
    }

    // The handler of the old browser went with it, taking the loader's image
    // along should the runtime still hold it; the host keeps its own.
    recreating = true;
    if (! startEnvironmentCreation())
    {
        recreating = false;
        browserStopped = true;
        showNotice (troubleNotice());
    }
}

// The new browser has the bridge; it gets the page's other scripts, in their
// order, and the page, which then asks for its content as on any load.
void WebView2Host::restorePage()
{
    hideNotice();
    hangWatch.pageResponded();
    wireResources();

    for (const auto& script : documentScripts)
        addDocumentScript (script);

    if (currentPage)
        navigate (*currentPage);

    resizeContentToFit();
    browserController->put_IsVisible (IsWindowVisible (viewWindow.get()) ? TRUE : FALSE);
}

HRESULT WebView2Host::onNewBrowserVersion()
{
    // A copy: whoever is told may let go of this view.
    if (auto tell = browserUpdateAvailable)
        tell();

    return S_OK;
}

} // namespace tunewell::ui
