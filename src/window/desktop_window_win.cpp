#include "window/desktop_window.h"

#include <windows.h>

#include <utility>

#include "messageloop/library_frames.h"
#include "text/utf16.h"
#include "window/content_messages_win.h"
#include "window/dpi_awareness_win.h"
#include "window/hwnd_holder_win.h"
#include "window/user32_function.h"
#include "window/window_bounds.h"
#include "window/window_class_win.h"

namespace tunewell::ui
{
namespace
{
constexpr unsigned int defaultDPI = 96;
constexpr DWORD placementStyle = WS_OVERLAPPEDWINDOW;
constexpr UINT initialPlacementFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
constexpr UINT resizeOnlyFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
constexpr UINT moveAndResizeFlags = SWP_NOZORDER | SWP_NOACTIVATE;

PixelRect pixelRect (const RECT& rect)
{
    return { rect.left, rect.top, rect.right, rect.bottom };
}

void placeWindow (HWND window, const PixelRect& frame, UINT flags)
{
    SetWindowPos (window, nullptr, frame.left, frame.top, clampedExtent (frame.left, frame.right),
                  clampedExtent (frame.top, frame.bottom), flags);
}

BOOL CALLBACK storeFirstChild (HWND child, LPARAM result)
{
    *reinterpret_cast<HWND*> (result) = child;
    return FALSE;
}
} // namespace

struct DesktopWindow::Pimpl
{
    explicit Pimpl (DesktopWindow& ownerWindow) : owner (ownerWindow), windowClass (L"TunewellWindow", wndProc) {}

    ~Pimpl()
    {
        // Messages sent while the window is destroyed must not reach this
        // half-destroyed record, and the class can be unregistered only once
        // its window is gone.
        if (HWND window = windowHandle.get(); window != nullptr && IsWindow (window))
            SetWindowLongPtrA (window, GWLP_USERDATA, 0);
        windowHandle.reset();
    }

    DesktopWindow& owner;
    HWNDHolder windowHandle;
    Size minimumTrackSize;
    Size maximumTrackSize;
    WindowClass windowClass;
    // The content that minimising hid, to show again on restoring.
    HWND contentHiddenWhileMinimised = nullptr;

    void create (Bounds bounds);
    void placeClientArea (Bounds bounds, UINT flags);
    PixelRect frameAround (const PixelRect& client) const;
    void fitIntoWorkArea();
    void resizeContentToFit();
    void showContent (bool visible);
    void followSizeState (WPARAM sizeKind);
    void passFocusToContent() const;
    void tellContentMoved() const;
    HWND getFirstChildWindow() const;
    unsigned int getWindowDPI() const;
    void applyTrackSizes (MINMAXINFO& limits) const;
    void takeSuggestedRect (const RECT& suggested);
    void requestClose();

    static void enableNonClientDPIScaling (HWND window);
    static LRESULT CALLBACK wndProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

void DesktopWindow::Pimpl::create (Bounds bounds)
{
    HWND window = nullptr;
    {
        // The window keeps the awareness of the thread that creates it; the
        // thread itself, the host's, goes back to its own at once.
        const PerMonitorDpiScope awareness (PerMonitorDpiScope::Purpose::createWindows);
        window = CreateWindowExW (0, windowClass.classIdentifier(), L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr, windowClass.moduleHandle(), nullptr);
    }
    if (window == nullptr)
        return;

    SetWindowLongPtrA (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (this));
    windowHandle.reset (window);

    placeClientArea (bounds, initialPlacementFlags);
    fitIntoWorkArea();
    ShowWindow (window, SW_SHOW);
    UpdateWindow (window);
    SetFocus (window);
}

// Every operation that reads or writes pixels runs per-monitor aware, as the
// window does: on a DPI-unaware host thread the system would otherwise scale
// each rectangle to 96 DPI on the way.
void DesktopWindow::Pimpl::placeClientArea (Bounds bounds, UINT flags)
{
    const PerMonitorDpiScope awareness;
    placeWindow (windowHandle.get(), frameAround (physicalClientRect (bounds, getWindowDPI())), flags);
    resizeContentToFit();
}

PixelRect DesktopWindow::Pimpl::frameAround (const PixelRect& client) const
{
    using AdjustForDpiFunction = BOOL (WINAPI*) (RECT*, DWORD, BOOL, DWORD, UINT);
    RECT frame { client.left, client.top, client.right, client.bottom };

    // Always the style the window was created with, so that sizes stay
    // comparable whatever styles were added later; and at the window's DPI,
    // which AdjustWindowRect knows nothing of.
    if (auto adjustForDpi = reinterpret_cast<AdjustForDpiFunction> (getUser32Function ("AdjustWindowRectExForDpi")))
        adjustForDpi (&frame, placementStyle, FALSE, 0, getWindowDPI());
    else
        AdjustWindowRect (&frame, placementStyle, FALSE);
    return pixelRect (frame);
}

void DesktopWindow::Pimpl::fitIntoWorkArea()
{
    HWND window = windowHandle.get();
    if (window == nullptr || ! IsWindow (window) || IsIconic (window) || IsZoomed (window))
        return;

    const PerMonitorDpiScope awareness;
    MONITORINFO monitor {};
    monitor.cbSize = sizeof (monitor);
    RECT current {};
    if (! GetMonitorInfoW (MonitorFromWindow (window, MONITOR_DEFAULTTONEAREST), &monitor)
        || ! GetWindowRect (window, &current))
        return;

    const PixelRect fitted = fitIntoArea (pixelRect (current), pixelRect (monitor.rcWork));
    if (fitted.left != current.left || fitted.top != current.top || fitted.right != current.right
        || fitted.bottom != current.bottom)
        placeWindow (window, fitted, moveAndResizeFlags);
}

void DesktopWindow::Pimpl::resizeContentToFit()
{
    HWND child = getFirstChildWindow();
    if (child == nullptr)
        return;

    const PerMonitorDpiScope awareness;

    RECT client {};
    GetClientRect (windowHandle.get(), &client);
    SetWindowPos (child, nullptr, client.left, client.top, client.right - client.left, client.bottom - client.top,
                  resizeOnlyFlags);
}

void DesktopWindow::Pimpl::showContent (bool visible)
{
    if (HWND child = getFirstChildWindow(); child != nullptr)
        ShowWindow (child, visible ? SW_SHOWNA : SW_HIDE);
}

// A minimised window keeps its children "visible", so content that renders
// (a browser) would go on working for a window nobody sees.
void DesktopWindow::Pimpl::followSizeState (WPARAM sizeKind)
{
    HWND child = getFirstChildWindow();

    if (sizeKind == SIZE_MINIMIZED)
    {
        if (child != nullptr && IsWindowVisible (child))
        {
            contentHiddenWhileMinimised = child;
            ShowWindow (child, SW_HIDE);
        }
        return;
    }

    if (HWND hidden = std::exchange (contentHiddenWhileMinimised, nullptr); hidden != nullptr && hidden == child)
        ShowWindow (child, SW_SHOWNA);

    resizeContentToFit();
}

// The window takes the focus when it is activated; its content is what the
// keys are for.
void DesktopWindow::Pimpl::passFocusToContent() const
{
    if (HWND child = getFirstChildWindow(); child != nullptr && IsWindowVisible (child))
        SetFocus (child);
}

void DesktopWindow::Pimpl::tellContentMoved() const
{
    if (HWND child = getFirstChildWindow(); child != nullptr)
        SendMessageW (child, parentWindowMovedMessage(), 0, 0);
}

HWND DesktopWindow::Pimpl::getFirstChildWindow() const
{
    HWND window = windowHandle.get();
    if (window == nullptr || ! IsWindow (window))
        return nullptr;

    HWND child = nullptr;
    EnumChildWindows (window, storeFirstChild, reinterpret_cast<LPARAM> (&child));
    return child;
}

unsigned int DesktopWindow::Pimpl::getWindowDPI() const
{
    using GetDpiForWindowFunction = UINT (WINAPI*) (HWND);
    auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction> (getUser32Function ("GetDpiForWindow"));
    return getDpiForWindow != nullptr ? getDpiForWindow (windowHandle.get()) : defaultDPI;
}

// Called from the window procedure, during which the system runs the thread
// at the window's own awareness.
void DesktopWindow::Pimpl::applyTrackSizes (MINMAXINFO& limits) const
{
    HWND window = windowHandle.get();
    MONITORINFO monitor {};
    monitor.cbSize = sizeof (monitor);
    GetMonitorInfoW (MonitorFromWindow (window, MONITOR_DEFAULTTONEAREST), &monitor);
    // The restored size, also while the window is maximised or minimised.
    WINDOWPLACEMENT placement {};
    placement.length = sizeof (placement);
    GetWindowPlacement (window, &placement);
    const RECT& restored = placement.rcNormalPosition;

    const SizeLimits proposed { { limits.ptMaxSize.x, limits.ptMaxSize.y },
                                { limits.ptMaxPosition.x, limits.ptMaxPosition.y },
                                { limits.ptMinTrackSize.x, limits.ptMinTrackSize.y },
                                { limits.ptMaxTrackSize.x, limits.ptMaxTrackSize.y } };
    const SizeLimits answer = windowSizeLimits (proposed, minimumTrackSize, maximumTrackSize, getWindowDPI(),
                                                pixelRect (monitor.rcMonitor), pixelRect (monitor.rcWork),
                                                { clampedExtent (restored.left, restored.right),
                                                  clampedExtent (restored.top, restored.bottom) });

    limits.ptMaxSize = { answer.maximisedSize.width, answer.maximisedSize.height };
    limits.ptMaxPosition = { answer.maximisedPosition.x, answer.maximisedPosition.y };
    limits.ptMinTrackSize = { answer.minimumTrackSize.width, answer.minimumTrackSize.height };
    limits.ptMaxTrackSize = { answer.maximumTrackSize.width, answer.maximumTrackSize.height };
}

void DesktopWindow::Pimpl::takeSuggestedRect (const RECT& suggested)
{
    placeWindow (windowHandle.get(), pixelRect (suggested), moveAndResizeFlags);
}

void DesktopWindow::Pimpl::requestClose()
{
    // A copy, because the callback may destroy this window and with it the
    // original; and nothing may unwind into the window system.
    std::function<void()> callback = owner.onCloseRequested;
    if (! callback)
        return;
    try
    {
        callback();
    }
    catch (...)
    {
    }
}

void DesktopWindow::Pimpl::enableNonClientDPIScaling (HWND window)
{
    using EnableNonClientDpiScalingFunction = BOOL (WINAPI*) (HWND);
    auto enable = reinterpret_cast<EnableNonClientDpiScalingFunction> (getUser32Function ("EnableNonClientDpiScaling"));
    if (enable != nullptr)
        enable (window);
}

LRESULT CALLBACK DesktopWindow::Pimpl::wndProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The close box's handler may end the extension that owns this window.
    const messageloop::LibraryFrame frame;
    auto* pimpl = reinterpret_cast<Pimpl*> (GetWindowLongPtrA (window, GWLP_USERDATA));

    switch (message)
    {
        case WM_SIZE:
            if (pimpl != nullptr)
                pimpl->followSizeState (wParam);
            break;

        case WM_MOVE:
            if (pimpl != nullptr)
                pimpl->tellContentMoved();
            break;

        case WM_SETFOCUS:
            if (pimpl != nullptr)
                pimpl->passFocusToContent();
            return 0;

        case WM_SHOWWINDOW:
            // Hiding a window tells its children nothing, and a browser that
            // is not told goes on rendering for a window that nobody sees.
            // lParam 0: a ShowWindow call, not an owner being minimised.
            if (pimpl != nullptr && lParam == 0)
                pimpl->showContent (wParam != FALSE);
            break;

        case WM_CLOSE:
            if (pimpl != nullptr)
                pimpl->requestClose();
            return 0;

        case WM_GETMINMAXINFO:
            if (pimpl != nullptr && lParam != 0)
                pimpl->applyTrackSizes (*reinterpret_cast<MINMAXINFO*> (lParam));
            return 0;

        case WM_DPICHANGED:
            // The suggested rectangle keeps the window's logical size on a
            // monitor of another scale; the content follows through WM_SIZE.
            if (pimpl != nullptr && lParam != 0)
            {
                pimpl->takeSuggestedRect (*reinterpret_cast<const RECT*> (lParam));
                return 0;
            }
            break;

        case WM_NCCREATE:
            enableNonClientDPIScaling (window);
            break;

        default:
            break;
    }
    return DefWindowProcW (window, message, wParam, lParam);
}

DesktopWindow::DesktopWindow (Bounds bounds) : pimpl (std::make_unique<Pimpl> (*this))
{
    pimpl->create (bounds);
}

DesktopWindow::~DesktopWindow() = default;

void DesktopWindow::setTitle (const std::string& utf8Title)
{
    SetWindowTextW (pimpl->windowHandle.get(), text::utf8ToUtf16 (utf8Title).c_str());
}

void DesktopWindow::addResizableStyles()
{
    HWND window = pimpl->windowHandle.get();
    const LONG style = GetWindowLongA (window, GWL_STYLE);
    SetWindowLongA (window, GWL_STYLE, style | WS_THICKFRAME | WS_MAXIMIZEBOX);
}

void DesktopWindow::setClientSize (int width, int height)
{
    pimpl->placeClientArea ({ 0, 0, width, height }, resizeOnlyFlags);
}

void DesktopWindow::fitIntoWorkArea()
{
    pimpl->fitIntoWorkArea();
}

void DesktopWindow::setMinimumTrackSize (int width, int height)
{
    pimpl->minimumTrackSize = { width, height };
}

void DesktopWindow::setMaximumTrackSize (int width, int height)
{
    pimpl->maximumTrackSize = { width, height };
}

void DesktopWindow::hide()
{
    if (HWND window = pimpl->windowHandle.get(); window != nullptr)
        ShowWindow (window, SW_HIDE);
}

void DesktopWindow::setContentView (void* view)
{
    HWND window = pimpl->windowHandle.get();
    HWND content = static_cast<HWND> (view);
    // Without a window of our own there is nothing to place the view in, and
    // a window cannot be made its own child.
    if (window == nullptr || content == nullptr || content == window || ! IsWindow (content))
        return;

    HWND previous = pimpl->getFirstChildWindow();

    // Moving a window that already is the content would move the browser
    // inside it out of its parent and back.
    if (previous != content)
    {
        releaseContentView();
        const LONG_PTR style = GetWindowLongPtrA (content, GWL_STYLE);
        SetWindowLongPtrA (content, GWL_STYLE, (style & ~static_cast<LONG_PTR> (WS_POPUP)) | WS_CHILD);
        SetParent (content, window);
    }

    pimpl->resizeContentToFit();
    ShowWindow (content, IsWindowVisible (window) && ! IsIconic (window) ? SW_SHOW : SW_HIDE);

    if (GetFocus() == window)
        pimpl->passFocusToContent();
}

void DesktopWindow::releaseContentView()
{
    HWND content = pimpl->getFirstChildWindow();

    if (content == nullptr)
        return;

    ShowWindow (content, SW_HIDE);
    const LONG_PTR style = GetWindowLongPtrA (content, GWL_STYLE);
    SetWindowLongPtrA (content, GWL_STYLE, (style & ~static_cast<LONG_PTR> (WS_CHILD)) | WS_POPUP);
    SetParent (content, nullptr);
}

void DesktopWindow::resizeContentToFit()
{
    pimpl->resizeContentToFit();
}

void DesktopWindow::bringToFront()
{
    HWND window = pimpl->windowHandle.get();
    // Raising a minimised window leaves it minimised.
    if (window != nullptr && IsIconic (window))
        ShowWindow (window, SW_RESTORE);
    BringWindowToTop (window);
}

void* DesktopWindow::nativeHandle() const
{
    return pimpl->windowHandle.get();
}

} // namespace tunewell::ui
