// How the views of the stand-in take the failures of the processes behind
// them, by kind, as Microsoft documents (concepts/process-related-events;
// reference of ICoreWebView2ProcessFailedEventArgs): only the browser
// process's exit closes views; a renderer's exit or hang leaves a dead page
// for the host to reload; every other kind recovers by itself.

#include <string>

#include "browser_view_win.h"
#include "environment_win.h"
#include "message_args_win.h"

namespace tunewell::standin
{

void BrowserView::failProcessOfPage (void* context, int kind)
{
    auto* view = static_cast<BrowserView*> (context);
    view->later ([view, kind] { view->raiseProcessFailed (static_cast<COREWEBVIEW2_PROCESS_FAILED_KIND> (kind)); });
}

void BrowserView::notifyProcessFailed (COREWEBVIEW2_PROCESS_FAILED_KIND kind)
{
    if (closed)
        return;

    record (L"ProcessFailed", std::to_wstring (kind));
    auto args = ui::ComRef<ICoreWebView2ProcessFailedEventArgs>::adopt (new ProcessFailedArgs (kind));

    for (auto& handler : events.handlersOf<ICoreWebView2ProcessFailedEventHandler> (L"ProcessFailed"))
        handler->Invoke (this, args.get());
}

void BrowserView::raiseProcessFailed (COREWEBVIEW2_PROCESS_FAILED_KIND kind)
{
    if (closed)
        return;

    switch (kind)
    {
        case COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED:
            // Every view of the browser goes, this one among them.
            if (auto exitProcess = browserProcessExit)
                return exitProcess();

            notifyProcessFailed (kind);
            return close();
        case COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_EXITED:
            pageDead = true;
            return notifyProcessFailed (kind);
        case COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_UNRESPONSIVE:
            pageDead = pageHung = true;
            notifyProcessFailed (kind);
            return reportHangAgain (documentNumber);
        default:
            // The GPU, utility, sandbox helper, plug-in and unknown processes,
            // and a subframe's renderer, come back by themselves.
            return notifyProcessFailed (kind);
    }
}

// The runtime goes on reporting a hung renderer for as long as it hangs.
void BrowserView::reportHangAgain (int document)
{
    const int interval = currentBehaviour().hangReportMilliseconds;
    dispatcher->postAfter (interval > 0 ? interval : 1, [self = ui::ComRef<ICoreWebView2>::share (this), this, document] {
        if (closed || ! pageHung || document != documentNumber)
            return;

        notifyProcessFailed (COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_UNRESPONSIVE);
        reportHangAgain (document);
    });
}

void BrowserView::pageReplaced()
{
    pageDead = pageHung = false;
    ++documentNumber;
}

void BrowserView::newBrowserVersionOfPage (void*, int version)
{
    announceBrowserVersion (version);
}

} // namespace tunewell::standin
