#include "recording_browser.h"

#include <algorithm>
#include <new>

#include "strict_utf8.h"
#include "webview/bridge_scripts.h"

namespace tunewell::testrig
{

namespace
{
int unavailableScopes = 0;

// In the order they were made.
std::vector<RecordingBrowser*>& liveBrowsers()
{
    static std::vector<RecordingBrowser*> browsers;
    return browsers;
}

std::function<void (const BrowserOperation&)>& operationObserver()
{
    static std::function<void (const BrowserOperation&)> observer;
    return observer;
}
} // namespace

const char* nameOf (BrowserOperation::Kind kind)
{
    static const char* const names[] = { "addInitScript", "executeScript", "navigateToString" };
    return names[static_cast<int> (kind)];
}

std::ostream& operator<< (std::ostream& out, const BrowserOperation& operation)
{
    return out << nameOf (operation.kind) << " (" << operation.text << ")";
}

RecordingBrowser::RecordingBrowser (ui::WebView& ownerView, bool browserAvailable)
    : Browser (ownerView), hasBrowser (browserAvailable)
{
    liveBrowsers().push_back (this);

    if (hasBrowser)
        addInitScript (std::string (ui::bridgeScript));
}

RecordingBrowser::~RecordingBrowser()
{
    auto& browsers = liveBrowsers();
    browsers.erase (std::remove (browsers.begin(), browsers.end(), this), browsers.end());
}

RecordingBrowser* RecordingBrowser::of (const ui::WebView& view)
{
    for (auto* browser : liveBrowsers())
        if (&browser->owner == &view)
            return browser;

    return nullptr;
}

RecordingBrowser* RecordingBrowser::current()
{
    auto& browsers = liveBrowsers();
    return browsers.empty() ? nullptr : browsers.back();
}

void RecordingBrowser::observeOperations (std::function<void (const BrowserOperation&)> observer)
{
    operationObserver() = std::move (observer);
}

void RecordingBrowser::addInitScript (const std::string& script)
{
    record (BrowserOperation::Kind::addInitScript, script);
}

void RecordingBrowser::executeScript (const std::string& script)
{
    if (! failingScriptText.empty() && script.find (failingScriptText) != std::string::npos)
        throw std::bad_alloc();

    record (BrowserOperation::Kind::executeScript, script);
}

void RecordingBrowser::navigateToString (const std::string& html)
{
    record (BrowserOperation::Kind::navigateToString, html);
}

void RecordingBrowser::record (BrowserOperation::Kind kind, const std::string& text)
{
    if (! hasBrowser)
        return;

    recorded.push_back ({ kind, isStrictUtf8 (text) ? text : std::string() });

    if (operationObserver())
        operationObserver() (recorded.back());
}

ui::BrowserFactory recordingBrowsers()
{
    return [] (ui::WebView& owner, const ui::WebView::Options&) -> std::unique_ptr<ui::WebView::Browser> {
        return std::make_unique<RecordingBrowser> (owner, unavailableScopes == 0);
    };
}

ui::WebView::Options recordingViewOptions()
{
    ui::WebView::Options options;
    options.browser = recordingBrowsers();
    return options;
}

ScopedBrowserUnavailable::ScopedBrowserUnavailable()
{
    ++unavailableScopes;
}
ScopedBrowserUnavailable::~ScopedBrowserUnavailable()
{
    --unavailableScopes;
}

} // namespace tunewell::testrig
