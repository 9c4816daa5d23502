// The chooser's window and view on Windows, and the loop that keeps the
// host's thread in a showing until its session says it ends. What a showing
// does about each event lives in the portable session (chooser_session.h).

#include <windows.h>

#include <memory>
#include <utility>

#include "extension/showing_platform.h"
#include "messageloop/message_loop.h"
#include "messageloop/message_window.h"

using namespace tunewell;

namespace
{
// Logical units of 1/96 inch, like every size of the window: the window
// scales them by the DPI of the monitor it is on.
constexpr ui::Bounds initialWindowBounds { 100, 100, 1080, 720 };
constexpr int windowWidth = 1080, windowHeight = 720;
constexpr int minimumWindowWidth = 300, minimumWindowHeight = 300;
constexpr int maximumWindowWidth = 1500, maximumWindowHeight = 1200;
constexpr const char* windowTitle = "Tunewell";

class DesktopShowing final : public chooser::ShowingPlatform
{
public:
    explicit DesktopShowing (ui::BrowserFactory browserFactory) : browsers (std::move (browserFactory)) {}

    void createWindowAndView (const ShowingCallbacks& callbacks, std::unique_ptr<ui::DesktopWindow>& window,
                              std::unique_ptr<ui::WebView>& view) override;
    std::optional<int> runLoopUntilEnded (const ShowingCallbacks& callbacks) override;
    void hideWindow (ui::DesktopWindow& window) override;
    void wake() override;
    void passQuitToHost (int exitCode) override;

private:
    ui::BrowserFactory browsers;
};

// The previous showing's window and view go only once the new view is
// ready: its browser then carries over to the new view instead of exiting
// and starting again, and a new creation never races its exit.
void DesktopShowing::createWindowAndView (const ShowingCallbacks& callbacks, std::unique_ptr<ui::DesktopWindow>& window,
                                          std::unique_ptr<ui::WebView>& view)
{
    // Declared in this order so that the view, a child of the window, goes first.
    const auto previousWindow = std::move (window);
    const auto previousView = std::move (view);
    window = std::make_unique<ui::DesktopWindow> (initialWindowBounds);

    // A window that cannot be made ends the showing as its close box would.
    if (window->nativeHandle() == nullptr)
        return callbacks.closeBoxPressed();

    window->setTitle (windowTitle);
    window->addResizableStyles();
    window->setClientSize (windowWidth, windowHeight);
    window->fitIntoWorkArea();
    window->setMinimumTrackSize (minimumWindowWidth, minimumWindowHeight);
    window->setMaximumTrackSize (maximumWindowWidth, maximumWindowHeight);
    window->onCloseRequested = callbacks.closeBoxPressed;

    // The browser's creation dispatches messages: the close box, host events
    // and the host's quit can all arrive inside this constructor, and a
    // browser that never starts is given up on as soon as the showing ends.
    ui::WebView::Options options;
    options.browser = browsers;
    options.creationAbandoned = callbacks.hasEnded;
    options.parentWindow = window->nativeHandle();
    options.browserUpdateAvailable = [tell = callbacks.browserUpdateAvailable] {
        static_cast<void> (messageloop::postCallbackToSharedWindow (tell));
    };
    view = std::make_unique<ui::WebView> (options);
}

std::optional<int> DesktopShowing::runLoopUntilEnded (const ShowingCallbacks& callbacks)
{
    static_cast<void> (messageloop::lockSharedMessageWindow (true));

    // Ended already (the close box while the browser started): the loop
    // takes no message at all.
    const auto loopEnd = messageloop::runMessageLoop (callbacks.hasEnded);

    if (loopEnd.quitReceived)
        return loopEnd.exitCode;

    return std::nullopt;
}

void DesktopShowing::hideWindow (ui::DesktopWindow& window)
{
    window.hide();
}

void DesktopShowing::wake()
{
    messageloop::wakeMessageLoop();
}

void DesktopShowing::passQuitToHost (int exitCode)
{
    PostQuitMessage (exitCode);
}
} // namespace

std::unique_ptr<chooser::ShowingPlatform> chooser::makeDesktopShowing (ui::BrowserFactory browsers)
{
    return std::make_unique<DesktopShowing> (std::move (browsers));
}
