// A showing that stays in process: no window, and a loop that returns at
// once. The session is the same as in a desktop showing, so tests follow the
// view's creation, the page's load, the hand-shake with the host and the
// page's calls step by step; the native build has nothing else.

#include "extension/showing_platform.h"

namespace tunewell::chooser
{

namespace
{
class InProcessShowing final : public ShowingPlatform
{
public:
    explicit InProcessShowing (ui::BrowserFactory browserFactory) : browsers (std::move (browserFactory)) {}

    void createWindowAndView (const ShowingCallbacks&, std::unique_ptr<ui::DesktopWindow>&,
                              std::unique_ptr<ui::WebView>& view) override
    {
        // The new view exists before the previous one is destroyed.
        ui::WebView::Options options;
        options.browser = browsers;
        auto created = std::make_unique<ui::WebView> (options);
        view = std::move (created);
    }

    // Nothing waits here: the showing is over as soon as the page is loaded.
    std::optional<int> runLoopUntilEnded (const ShowingCallbacks&) override { return std::nullopt; }

    void hideWindow (ui::DesktopWindow&) override {}
    void wake() override {}
    void passQuitToHost (int) override {}

private:
    ui::BrowserFactory browsers;
};
} // namespace

std::unique_ptr<ShowingPlatform> makeInProcessShowing (ui::BrowserFactory browsers)
{
    return std::make_unique<InProcessShowing> (std::move (browsers));
}

} // namespace tunewell::chooser
