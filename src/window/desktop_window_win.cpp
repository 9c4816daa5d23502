#include "window/desktop_window.h"

#include <windows.h>

#include "messageloop/library_frames.h"
#include "text/utf16.h"
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

struct TrackSize
{
    int width = 0;
    int height = 0;

    bool isSet() const { return width > 0 && height > 0; }
};

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
    TrackSize minimumTrackSize;
    TrackSize maximumTrackSize;
    WindowClass windowClass;

    void create (Bounds bounds);
    void setBounds (Bounds bounds, UINT flags);
    void resizeContentToFit();
    void showContent (bool visible);
    HWND getFirstChildWindow() const;
    unsigned int getWindowDPI() const;
    void applyTrackSizes (MINMAXINFO& limits) const;
    void requestClose();

    static void enableNonClientDPIScaling (HWND window);
    static LRESULT CALLBACK wndProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

void DesktopWindow::Pimpl::create (Bounds bounds)
{
    HWND window = CreateWindowExW (0, windowClass.classIdentifier(), L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 640, 480, nullptr, nullptr, windowClass.moduleHandle(), nullptr);
    if (window == nullptr)
        return;

    SetWindowLongPtrA (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (this));
    windowHandle.reset (window);

    setBounds (bounds, initialPlacementFlags);
    ShowWindow (window, SW_SHOW);
    UpdateWindow (window);
    SetFocus (window);
}

void DesktopWindow::Pimpl::setBounds (Bounds bounds, UINT flags)
{
    const PixelRect client = physicalClientRect (bounds, getWindowDPI());
    RECT frame { client.left, client.top, client.right, client.bottom };
    // Always the style the window was created with, so that sizes stay
    // comparable whatever styles were added later.
    AdjustWindowRect (&frame, placementStyle, FALSE);

    SetWindowPos (windowHandle.get(), nullptr, frame.left, frame.top, clampedExtent (frame.left, frame.right),
                  clampedExtent (frame.top, frame.bottom), flags);
    resizeContentToFit();
}

void DesktopWindow::Pimpl::resizeContentToFit()
{
    HWND child = getFirstChildWindow();
    if (child == nullptr)
        return;

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

void DesktopWindow::Pimpl::applyTrackSizes (MINMAXINFO& limits) const
{
    if (maximumTrackSize.isSet())
    {
        limits.ptMaxSize = { maximumTrackSize.width, maximumTrackSize.height };
        limits.ptMaxTrackSize = { maximumTrackSize.width, maximumTrackSize.height };
    }
    if (minimumTrackSize.isSet())
        limits.ptMinTrackSize = { minimumTrackSize.width, minimumTrackSize.height };
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
                pimpl->resizeContentToFit();
            break;

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

void DesktopWindow::setBounds (Bounds bounds, std::uint32_t setWindowPosFlags)
{
    pimpl->setBounds (bounds, setWindowPosFlags);
}

void DesktopWindow::setMinimumTrackSize (int width, int height)
{
    pimpl->minimumTrackSize = { width, height };
}

void DesktopWindow::setMaximumTrackSize (int width, int height)
{
    pimpl->maximumTrackSize = { width, height };
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
    ShowWindow (content, IsWindowVisible (window) ? SW_SHOW : SW_HIDE);
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
