#pragma once

#include <memory>
#include <string>

#include "event_writer.h"
#include "webview/webview.h"

namespace chooser_stdio
{

/// A WebView backend whose browser is the test at the other end of standard
/// output: every browser operation becomes one event line, and page messages
/// come back through receivePageMessage. Single-threaded, like the real view.
class StdioBrowser : public tunewell::ui::WebView::Pimpl
{
public:
    StdioBrowser (tunewell::ui::WebView& owner, EventWriter& events);
    ~StdioBrowser() override;

    /// Where every backend created from now on writes its events; must be set
    /// before the first view is made and outlive every view.
    static void useEventWriter (EventWriter& events);

    /// The backend of a new view, writing to the event writer set above.
    static std::unique_ptr<StdioBrowser> create (tunewell::ui::WebView& owner);

    /// The most recently created view that still exists, or null. That is the
    /// one the test's browser shows, as a new showing replaces the old view.
    static StdioBrowser* current();

    /// Hands one page message (UTF-8) to the view's bridge, as the browser's
    /// message callback does; invalid UTF-8 arrives empty, as there.
    void receivePageMessage (const std::string& message);

    void addInitScript (const std::string& script) override;
    void executeScript (const std::string& script) override;
    void navigateToString (const std::string& html) override;
    void* getViewWindow() const override { return nullptr; }
    bool isBrowserCreated() const override { return true; }

private:
    EventWriter& events;
};

} // namespace chooser_stdio
