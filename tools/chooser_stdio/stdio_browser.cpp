#include "stdio_browser.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "strict_utf8.h"
#include "webview/bridge_scripts.h"

namespace chooser_stdio
{

namespace
{
EventWriter* eventWriterForNewViews = nullptr;

std::vector<StdioBrowser*>& liveBrowsers()
{
    static std::vector<StdioBrowser*> browsers;
    return browsers;
}

// The real browser gets every text through a strict conversion to UTF-16,
// which turns invalid UTF-8 into an empty text; the test must see the same.
std::string asBrowserReceivesIt (const std::string& text)
{
    return tunewell::testsupport::isStrictUtf8 (text) ? text : std::string();
}
} // namespace

StdioBrowser::StdioBrowser (tunewell::ui::WebView& ownerView, EventWriter& eventWriter)
    : Pimpl (ownerView), events (eventWriter)
{
    liveBrowsers().push_back (this);
    // Like the Windows backend: the bridge script comes before any stub.
    addInitScript (std::string (tunewell::ui::bridgeScript));
}

StdioBrowser::~StdioBrowser()
{
    auto& browsers = liveBrowsers();
    browsers.erase (std::remove (browsers.begin(), browsers.end(), this), browsers.end());
}

std::unique_ptr<StdioBrowser> StdioBrowser::create (tunewell::ui::WebView& owner)
{
    if (eventWriterForNewViews == nullptr)
        throw std::logic_error ("chooser_stdio: a view was made before the event writer was set");
    return std::make_unique<StdioBrowser> (owner, *eventWriterForNewViews);
}

void StdioBrowser::useEventWriter (EventWriter& eventWriter)
{
    eventWriterForNewViews = &eventWriter;
}

StdioBrowser* StdioBrowser::current()
{
    auto& browsers = liveBrowsers();
    return browsers.empty() ? nullptr : browsers.back();
}

void StdioBrowser::receivePageMessage (const std::string& message)
{
    deliverWebMessage (asBrowserReceivesIt (message));
}

void StdioBrowser::addInitScript (const std::string& script)
{
    events.write ("addInitScript", "script", asBrowserReceivesIt (script));
}

void StdioBrowser::executeScript (const std::string& script)
{
    events.write ("executeScript", "script", asBrowserReceivesIt (script));
}

void StdioBrowser::navigateToString (const std::string& html)
{
    events.write ("navigateToString", "html", asBrowserReceivesIt (html));
}

} // namespace chooser_stdio

namespace tunewell::ui
{

std::unique_ptr<WebView::Pimpl> WebView::Pimpl::create (WebView& owner, const Options&)
{
    return chooser_stdio::StdioBrowser::create (owner);
}

} // namespace tunewell::ui
