#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "webview/webview.h"

namespace tunewell::testsupport
{

/// One browser operation as the browser received it.
struct BrowserOperation
{
    enum class Kind { addInitScript, executeScript, navigateToString };

    Kind kind;
    /// The text after the strict UTF-8 check that the real conversion to
    /// UTF-16 makes: invalid UTF-8 arrives as an empty text.
    std::string text;

    bool operator== (const BrowserOperation& other) const { return kind == other.kind && text == other.text; }
};

std::ostream& operator<< (std::ostream& out, const BrowserOperation& operation);

/// A browser backend for WebView that runs no page: it records every
/// operation in order. Like the Windows backend, a view that gets a browser
/// first registers the bridge script. Link tunewell_recording_browser
/// instead of a real backend; one test thread only.
class RecordingBrowser : public ui::WebView::Pimpl
{
public:
    RecordingBrowser (ui::WebView& owner, bool hasBrowser);
    ~RecordingBrowser() override;

    /// The backend of a view, or null when the view has none.
    static RecordingBrowser* of (const ui::WebView& view);

    const std::vector<BrowserOperation>& operations() const { return recorded; }
    void clearOperations() { recorded.clear(); }

    /// Hands one page message (UTF-8) to the view's bridge, as the browser's
    /// message callback does.
    void postWebMessage (const std::string& message) { deliverWebMessage (message); }

    /// Scripts run while they hold this text throw std::bad_alloc, as the
    /// real backend's text conversion does when memory runs out. Empty: none.
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

/// While one exists, new views get a backend without a browser, as when the
/// browser runtime cannot be started: every operation does nothing.
class ScopedBrowserUnavailable
{
public:
    ScopedBrowserUnavailable();
    ~ScopedBrowserUnavailable();

    ScopedBrowserUnavailable (const ScopedBrowserUnavailable&) = delete;
    ScopedBrowserUnavailable& operator= (const ScopedBrowserUnavailable&) = delete;
};

/// Whether text is UTF-8 that a strict UTF-16 conversion accepts: no
/// overlong forms, no encoded surrogates, nothing above U+10FFFF.
bool isStrictUTF8 (const std::string& text);

} // namespace tunewell::testsupport
