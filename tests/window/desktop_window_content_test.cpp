#include "window/desktop_window.h"

#include <memory>

#include <gtest/gtest.h>
#include <windows.h>

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

int childCount (HWND parent)
{
    int count = 0;
    EnumChildWindows (
        parent,
        [] (HWND, LPARAM counter) {
            ++*reinterpret_cast<int*> (counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM> (&count));
    return count;
}

bool sameSize (SIZE a, SIZE b)
{
    return a.cx == b.cx && a.cy == b.cy;
}

TEST (DesktopWindowContent, BecomesAVisibleChildThatFillsTheClientArea)
{
    DesktopWindow window ({ 50, 50, 600, 400 });
    HWND view = createPopup();
    window.setContentView (view);

    EXPECT_EQ (GetParent (view), handleOf (window));
    const LONG style = GetWindowLongA (view, GWL_STYLE);
    EXPECT_TRUE (style & WS_CHILD);
    EXPECT_FALSE (style & WS_POPUP);
    EXPECT_TRUE (IsWindowVisible (view));
    EXPECT_TRUE (sameSize (windowSize (view), clientSize (handleOf (window))));
}

TEST (DesktopWindowContent, ReplacesThePreviousViewByHidingAndDetachingIt)
{
    DesktopWindow window ({ 50, 50, 600, 400 });
    HWND first = createPopup();
    HWND second = createPopup();

    window.setContentView (first);
    window.setContentView (second);

    EXPECT_FALSE (IsWindowVisible (first));
    EXPECT_EQ (GetAncestor (first, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ (GetParent (second), handleOf (window));
    EXPECT_TRUE (IsWindowVisible (second));
    EXPECT_EQ (childCount (handleOf (window)), 1);
    DestroyWindow (first);
}

TEST (DesktopWindowContent, StaysHiddenInAHiddenWindow)
{
    DesktopWindow window ({ 50, 50, 600, 400 });
    ShowWindow (handleOf (window), SW_HIDE);
    HWND view = createPopup();
    window.setContentView (view);
    EXPECT_EQ (GetParent (view), handleOf (window));
    EXPECT_FALSE (IsWindowVisible (view));
}

TEST (DesktopWindowContent, IsHiddenWithTheWindowAndShownAgainWithIt)
{
    // The content's own visibility, which a child's WM_SHOWWINDOW follows;
    // IsWindowVisible would report the parent's as well.
    auto ownStyleVisible = [] (HWND view) { return (GetWindowLongW (view, GWL_STYLE) & WS_VISIBLE) != 0; };
    DesktopWindow window ({ 50, 50, 600, 400 });
    HWND view = createPopup();
    window.setContentView (view);
    ASSERT_TRUE (ownStyleVisible (view));

    ShowWindow (handleOf (window), SW_HIDE);
    EXPECT_FALSE (ownStyleVisible (view));

    ShowWindow (handleOf (window), SW_SHOW);
    EXPECT_TRUE (ownStyleVisible (view));
    EXPECT_TRUE (IsWindowVisible (view));
}

TEST (DesktopWindowContent, IgnoresANullViewAndTheWindowItself)
{
    DesktopWindow window ({ 50, 50, 600, 400 });
    HWND view = createPopup();
    window.setContentView (view);
    window.setContentView (nullptr);
    window.setContentView (window.nativeHandle());
    EXPECT_EQ (GetParent (view), handleOf (window));
    EXPECT_TRUE (IsWindowVisible (view));
    EXPECT_TRUE (IsWindowVisible (handleOf (window)));
}

TEST (DesktopWindowContent, FollowsEveryResizeOfTheWindow)
{
    DesktopWindow window ({ 50, 50, 600, 400 });
    HWND view = createPopup();
    window.setContentView (view);

    window.setClientSize (700, 500);
    EXPECT_TRUE (sameSize (windowSize (view), clientSize (handleOf (window))));

    // A resize from outside arrives as WM_SIZE.
    SetWindowPos (handleOf (window), nullptr, 0, 0, 450, 350, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE (sameSize (windowSize (view), clientSize (handleOf (window))));

    // Moved to a monitor of another scale, the window takes the rectangle
    // that the system suggests.
    RECT suggested { 120, 90, 1020, 690 };
    EXPECT_EQ (SendMessageW (handleOf (window), WM_DPICHANGED, MAKEWPARAM (144, 144),
                             reinterpret_cast<LPARAM> (&suggested)),
               0);
    RECT placed {};
    GetWindowRect (handleOf (window), &placed);
    EXPECT_TRUE (EqualRect (&placed, &suggested));
    EXPECT_TRUE (sameSize (windowSize (view), clientSize (handleOf (window))));
}

TEST (DesktopWindowDestruction, DestroysTheContentAndLeavesNoWindowOrClassBehind)
{
    const size_t windowsBefore = threadWindows().size();
    auto window = std::make_unique<DesktopWindow> (Bounds { 50, 50, 600, 400 });
    HWND native = handleOf (*window);
    HWND view = createPopup();
    window->setContentView (view);
    const std::wstring className = classNameOf (native);
    ASSERT_TRUE (classIsRegistered (className));

    window.reset();

    EXPECT_FALSE (IsWindow (native));
    EXPECT_FALSE (IsWindow (view));
    EXPECT_FALSE (classIsRegistered (className));
    EXPECT_EQ (threadWindows().size(), windowsBefore);
}

TEST (DesktopWindowDestruction, SurvivesAContentWindowDestroyedBeforehand)
{
    DesktopWindow window ({ 50, 50, 600, 400 });
    HWND view = createPopup();
    window.setContentView (view);
    DestroyWindow (view);
    window.resizeContentToFit();
    window.setClientSize (300, 300);
    EXPECT_TRUE (IsWindow (handleOf (window)));
    EXPECT_EQ (childCount (handleOf (window)), 0);
}

} // namespace
} // namespace tunewell::ui
