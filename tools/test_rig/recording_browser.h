#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "webview/webview.h"

namespace tunewell::testrig
{

/// One browser operation as the browser received it.
struct BrowserOperation
{
    enum class Kind
    {
        addInitScript,
        executeScript,
        navigateToString
    };

    Kind kind;
    /// The text after the strict UTF-8 check that the real conversion to
    /// UTF-16 makes: invalid UTF-8 arrives as an empty text.
    std::string text;

    bool operator== (const BrowserOperation& other) const { return kind == other.kind && text == other.text; }
};

std::ostream& operator<< (std::ostream& out, const BrowserOperation& operation);

/// "addInitScript", "executeScript" or "navigateToString".
const char* nameOf (BrowserOperation::Kind kind);

/// A browser for WebView that runs no page: it records every operation in
/// order, and page messages come in through postWebMessage. Like the
/// WebView2 host, a view that gets a browser first registers the bridge
/// script. One thread only.
class RecordingBrowser : public ui::WebView::Browser
{
public:
    RecordingBrowser (ui::WebView& owner, bool hasBrowser);
    ~RecordingBrowser() override;

    /// The browser of a view, or null when the view has none of these.
    static RecordingBrowser* of (const ui::WebView& view);

    /// The most recently made browser that still exists, or null: the one a
    /// page is shown in, as each showing replaces the previous view.
    static RecordingBrowser* current();

    /// Called with each operation that any browser records from now on, as
    /// it records it; empty: none. For programs that show what the page
    /// receives somewhere else.
    static void observeOperations (std::function<void (const BrowserOperation&)> observer);

    const std::vector<BrowserOperation>& operations() const { return recorded; }
    void clearOperations() { recorded.clear(); }

    /// Hands one page message (UTF-8) to the view's bridge, as the browser's
    /// message callback does.
    void postWebMessage (const std::string& message) { deliverWebMessage (message); }

    /// Scripts run while they hold this text throw std::bad_alloc, as the
    /// real browser host's text conversion does when memory runs out. Empty:
    /// none.
    std::string failingScriptText;

    void addInitScript (const std::string& script) override;
    void executeScript (const std::string& script) override;
    void navigateToString (const std::string& html) override;
    void* getViewWindow() const override { return nullptr; }
    bool isBrowserCreated() const override { return hasBrowser; }

private:
    void record (BrowserOperation::Kind kind, const std::string& text);

    bool hasBrowser;
    std::vector<BrowserOperation> recorded;
};

/// Makes recording browsers for views (WebView::Options::browser); while a
/// ScopedBrowserUnavailable exists, the views' browsers cannot start.
ui::BrowserFactory recordingBrowsers();

/// Options for a view over a recording browser.
ui::WebView::Options recordingViewOptions();

/// While one exists, new recording browsers have no browser, as when the
/// browser runtime cannot be started: every operation does nothing.
class ScopedBrowserUnavailable
{
public:
    ScopedBrowserUnavailable();
    ~ScopedBrowserUnavailable();

    ScopedBrowserUnavailable (const ScopedBrowserUnavailable&) = delete;
    ScopedBrowserUnavailable& operator= (const ScopedBrowserUnavailable&) = delete;
};

} // namespace tunewell::testrig
