#include "window/desktop_window.h"

#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>
#include <windows.h>

#include "window/user32_function.h"
#include "window/window_bounds.h"
#include "window_test_support_win.h"

namespace tunewell::ui
{
namespace
{
using namespace testing;

HWND handleOf (const DesktopWindow& window)
{
    return static_cast<HWND> (window.nativeHandle());
}

unsigned int dpiOf (HWND window)
{
    auto getDpiForWindow = reinterpret_cast<UINT (WINAPI*) (HWND)> (getUser32Function ("GetDpiForWindow"));
    return getDpiForWindow != nullptr ? getDpiForWindow (window) : 96;
}

TEST (DesktopWindowPlacement, PutsTheClientAreaAtTheScaledBoundsAndShowsTheWindow)
{
    DesktopWindow window ({ 100, 100, 1080, 720 });
    HWND native = handleOf (window);
    ASSERT_TRUE (IsWindow (native));
    EXPECT_TRUE (IsWindowVisible (native));

    const PixelRect expected = physicalClientRect ({ 100, 100, 1080, 720 }, dpiOf (native));
    POINT origin {};
    ClientToScreen (native, &origin);
    EXPECT_EQ (origin.x, expected.left);
    EXPECT_EQ (origin.y, expected.top);
    EXPECT_EQ (clientSize (native).cx, expected.right - expected.left);
    EXPECT_EQ (clientSize (native).cy, expected.bottom - expected.top);
}

TEST (DesktopWindowPlacement, KeepsThePositionWhenResizedWithoutMoving)
{
    DesktopWindow window ({ 100, 100, 1080, 720 });
    HWND native = handleOf (window);
    RECT before {};
    GetWindowRect (native, &before);

    window.addResizableStyles();
    window.setClientSize (500, 400);

    RECT after {};
    GetWindowRect (native, &after);
    EXPECT_EQ (after.left, before.left);
    EXPECT_EQ (after.top, before.top);
    const PixelRect expected = physicalClientRect ({ 0, 0, 500, 400 }, dpiOf (native));
    EXPECT_EQ (clientSize (native).cx, expected.right);
    EXPECT_EQ (clientSize (native).cy, expected.bottom);
    EXPECT_EQ (GetWindowLongA (native, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), WS_THICKFRAME | WS_MAXIMIZEBOX);
}

TEST (DesktopWindowTitle, ConvertsUtf8AndEmptiesAnInvalidTitle)
{
    DesktopWindow window ({ 0, 0, 200, 100 });
    HWND native = handleOf (window);
    wchar_t title[64] = {};

    window.setTitle ("Tunewell \xC3\xBC \xE2\x99\xAA \xF0\x9F\x8E\xB8");
    GetWindowTextW (native, title, 64);
    EXPECT_EQ (std::wstring (title), L"Tunewell \u00FC \u266A \U0001F3B8");

    window.setTitle ("broken \xC3");
    GetWindowTextW (native, title, 64);
    EXPECT_EQ (std::wstring (title), L"");
}

TEST (DesktopWindowClose, LeavesTheWindowOpenWhenNoCallbackIsSet)
{
    DesktopWindow window ({ 0, 0, 200, 100 });
    SendMessageW (handleOf (window), WM_CLOSE, 0, 0);
    EXPECT_TRUE (IsWindow (handleOf (window)));
    EXPECT_TRUE (IsWindowVisible (handleOf (window)));
}

TEST (DesktopWindowClose, RunsTheCallbackOncePerRequestAndNeverDestroysTheWindow)
{
    DesktopWindow window ({ 0, 0, 200, 100 });
    int requests = 0;
    window.onCloseRequested = [&requests] { ++requests; };

    SendMessageW (handleOf (window), WM_CLOSE, 0, 0);
    SendMessageW (handleOf (window), WM_CLOSE, 0, 0);
    EXPECT_EQ (requests, 2);
    EXPECT_TRUE (IsWindowVisible (handleOf (window)));
}

TEST (DesktopWindowClose, SurvivesACallbackThatDestroysTheWindowOrThrows)
{
    auto window = std::make_unique<DesktopWindow> (Bounds { 0, 0, 200, 100 });
    HWND native = handleOf (*window);
    bool destroyed = false;
    window->onCloseRequested = [&window, &destroyed] {
        window.reset();
        destroyed = true;
    };
    SendMessageW (native, WM_CLOSE, 0, 0);
    EXPECT_TRUE (destroyed);
    EXPECT_FALSE (IsWindow (native));

    DesktopWindow throwing ({ 0, 0, 200, 100 });
    throwing.onCloseRequested = [] { throw std::runtime_error ("close failed"); };
    EXPECT_EQ (SendMessageW (handleOf (throwing), WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE (IsWindow (handleOf (throwing)));
}

MINMAXINFO queryLimits (HWND window)
{
    MINMAXINFO limits {};
    limits.ptMaxSize = { 11, 12 };
    limits.ptMaxTrackSize = { 13, 14 };
    limits.ptMinTrackSize = { 15, 16 };
    SendMessageW (window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM> (&limits));
    return limits;
}

TEST (DesktopWindowTrackSizes, ApplyOnlyLimitsWithBothValuesSetAndLeaveTheOthersToTheSystem)
{
    DesktopWindow window ({ 0, 0, 200, 100 });
    window.setMaximumTrackSize (1500, 0);
    window.setMinimumTrackSize (0, 300);
    MINMAXINFO limits = queryLimits (handleOf (window));
    EXPECT_EQ (limits.ptMinTrackSize.x, 15);
    EXPECT_EQ (limits.ptMinTrackSize.y, 16);
    EXPECT_LT (limits.ptMaxTrackSize.x, 1500);

    window.setMinimumTrackSize (300, 300);
    window.setMaximumTrackSize (1500, 1200);
    limits = queryLimits (handleOf (window));
    const unsigned int dpi = dpiOf (handleOf (window));
    EXPECT_EQ (limits.ptMinTrackSize.x, scaledLength (300, dpi));
    EXPECT_EQ (limits.ptMaxTrackSize.y, scaledLength (1200, dpi));
    // A sender that passes no record gets the same answer and no crash.
    EXPECT_EQ (SendMessageW (handleOf (window), WM_GETMINMAXINFO, 0, 0), 0);
}

TEST (DesktopWindowTrackSizes, LimitTheSizesThatTheWindowSystemApplies)
{
    DesktopWindow window ({ 0, 0, 400, 400 });
    HWND native = handleOf (window);
    window.setMinimumTrackSize (300, 300);
    window.setMaximumTrackSize (800, 600);

    SetWindowPos (native, nullptr, 0, 0, 100, 50, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ (windowSize (native).cx, 300);
    EXPECT_EQ (windowSize (native).cy, 300);

    SetWindowPos (native, nullptr, 0, 0, 1900, 1000, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ (windowSize (native).cx, 800);
    EXPECT_EQ (windowSize (native).cy, 600);
}

} // namespace
} // namespace tunewell::ui
