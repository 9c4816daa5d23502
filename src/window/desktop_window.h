#pragma once

#include <functional>
#include <memory>
#include <string>

#include "window/bounds.h"

namespace tunewell::ui
{

/// A resizable top-level desktop window whose only content is one native child
/// window, kept at the size of the client area, shown or hidden with the
/// window (ShowWindow) and hidden while the window is minimised. The content
/// gets the focus that the window is given, and hears of every move of the
/// window (window/content_messages_win.h). Moved to a monitor of another scale, it takes the
/// rectangle that the system suggests, which keeps its logical size. A window
/// that could not be created behaves as a null window: every operation then
/// does nothing.
/// Create, use and destroy it on one thread; its messages arrive there.
class DesktopWindow
{
public:
    /// Creates the native window per-monitor DPI aware, without changing the
    /// calling thread's own awareness, places it at these logical bounds
    /// inside the work area of its monitor, shows and focuses it.
    explicit DesktopWindow (Bounds bounds);
    /// Destroys the native window together with its content window.
    ~DesktopWindow();

    DesktopWindow (const DesktopWindow&) = delete;
    DesktopWindow& operator= (const DesktopWindow&) = delete;

    /// Run when the close box is used (WM_CLOSE). The window stays open either
    /// way; the callback decides what closing means. It may destroy the window.
    std::function<void()> onCloseRequested;

    /// An invalid UTF-8 title gives an empty title.
    void setTitle (const std::string& utf8Title);

    /// Adds a sizing border and a maximise box; the next setClientSize
    /// redraws the frame.
    void addResizableStyles();

    /// Sizes the client area to a logical size scaled by the window's DPI and
    /// the content with it; the window's top-left corner stays where it is.
    void setClientSize (int width, int height);

    /// Moves the window into the work area of its monitor, shrinking it where
    /// it is larger. A minimised or maximised window stays as it is.
    void fitIntoWorkArea();

    /// Logical limits, scaled by the window's DPI whenever the window system
    /// asks for them; each applies only when both its values are above 0.
    /// Whatever the maximum, a maximised window fills at most the work area
    /// of its monitor and is never smaller than the restored window.
    void setMinimumTrackSize (int width, int height);
    void setMaximumTrackSize (int width, int height);

    /// Hides the window and its content; nothing else changes.
    void hide();

    /// Makes this native window (an HWND, not owned) the only content; the
    /// previous content window is hidden and detached. Null is ignored; a
    /// window that already is the content stays where it is.
    void setContentView (void* view);

    /// Hides the content window and detaches it, a hidden top-level window
    /// again, so that it outlives this window; nothing without content.
    void releaseContentView();

    /// Sizes the content window to the client area; nothing without content.
    void resizeContentToFit();

    /// Restores the window if it is minimised and raises it above the others.
    void bringToFront();

    /// The native window (an HWND, owned by this object), or null.
    void* nativeHandle() const;

    struct Pimpl;

private:
    std::unique_ptr<Pimpl> pimpl;
};

} // namespace tunewell::ui
