#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "webview/webview.h"
#include "window/desktop_window.h"

namespace tunewell::chooser
{

/// What a showing needs of its platform: the window and the view that show
/// the page, and the loop that holds the host's thread until the showing
/// ends. The extension is given one when it is made: the library that the
/// host loads passes the desktop window over WebView2, tests pass a showing
/// that stays in process over a test browser. All calls come on the host's
/// thread.
class ShowingPlatform
{
public:
    /// What the platform reports to the showing, and asks of it: the
    /// session's side of the window and the loop.
    struct ShowingCallbacks
    {
        /// The window's close box was pressed.
        std::function<void()> closeBoxPressed;
        /// Whether the showing has ended, so that its loop, and a browser
        /// creation that is still waiting, should end too.
        std::function<bool()> hasEnded;
        /// A newer browser runtime is installed; told once the runtime's
        /// call is over, so the view may be let go.
        std::function<void()> browserUpdateAvailable;
    };

    virtual ~ShowingPlatform() = default;

    /// Makes the window and the view of a new showing in place of the
    /// previous ones, which go only once the new view is ready. The browser's
    /// creation may dispatch messages, so any event may arrive meanwhile. A
    /// window that cannot be made ends the showing as its close box would.
    virtual void createWindowAndView (const ShowingCallbacks& callbacks, std::unique_ptr<ui::DesktopWindow>& window,
                                      std::unique_ptr<ui::WebView>& view) = 0;

    /// Runs the showing's loop until it has ended; the exit code of a quit
    /// message that the loop took instead, if any.
    virtual std::optional<int> runLoopUntilEnded (const ShowingCallbacks& callbacks) = 0;

    virtual void hideWindow (ui::DesktopWindow& window) = 0;

    /// Makes a waiting loop or browser creation look at the showing again.
    virtual void wake() = 0;

    /// Gives the host's loop the quit message that a showing's loop took.
    virtual void passQuitToHost (int exitCode) = 0;
};

/// A showing without a window or a loop: the view gets its browser from
/// browsers, the page is loaded and the showing returns at once, so that a
/// test can follow the page and the host step by step. Empty browsers: the
/// view has none.
std::unique_ptr<ShowingPlatform> makeInProcessShowing (ui::BrowserFactory browsers);

/// The chooser's desktop window, with a message loop that keeps the host's
/// thread in the showing; views get their browsers from browsers. Windows
/// only (chooser_window_win.cpp).
std::unique_ptr<ShowingPlatform> makeDesktopShowing (ui::BrowserFactory browsers);

} // namespace tunewell::chooser
