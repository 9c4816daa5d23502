#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "window/bounds.h"

namespace tunewell::ui
{

/// A resizable top-level desktop window whose only content is one native child
/// window, kept at the size of the client area and shown or hidden with the
/// window (ShowWindow). A window that could not be created behaves as a null
/// window: every operation then does nothing.
/// Create, use and destroy it on one thread; its messages arrive there.
class DesktopWindow
{
public:
    /// Creates the native window at these logical bounds, shows and focuses it.
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

    /// Adds a sizing border and a maximise box; the next setBounds with
    /// SWP_FRAMECHANGED redraws the frame.
    void addResizableStyles();

    /// Places the client area at logical bounds scaled by the window's DPI,
    /// with SetWindowPos flags, then fits the content to it.
    void setBounds (Bounds bounds, std::uint32_t setWindowPosFlags);

    /// Limits in physical pixels, applied only when both values are above 0.
    void setMinimumTrackSize (int width, int height);
    void setMaximumTrackSize (int width, int height);

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
