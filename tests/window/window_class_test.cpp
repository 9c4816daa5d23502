#include "window/desktop_window.h"

#include <cstdlib>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "window/user32_function.h"
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

bool isBaseNameWithDigits (const std::wstring& name, const std::wstring& base)
{
    if (name.size() <= base.size() || name.compare (0, base.size(), base) != 0)
        return false;
    const std::wstring digits = name.substr (base.size());
    for (wchar_t c : digits)
        if (! std::iswdigit (c))
            return false;
    return digits == L"0" || digits[0] != L'0';
}

/// The class names that the next rand() values on this thread will produce.
std::vector<std::wstring> upcomingClassNames (unsigned int seed, int count)
{
    std::srand (seed);
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i)
        names.push_back (L"TunewellWindow" + std::to_wstring (std::rand()));
    std::srand (seed);
    return names;
}

/// Registers foreign classes under the given names for as long as it lives.
struct ForeignClasses
{
    explicit ForeignClasses (const std::vector<std::wstring>& classNames) : names (classNames)
    {
        for (const std::wstring& name : names)
        {
            WNDCLASSEXW record {};
            record.cbSize = sizeof (record);
            record.lpfnWndProc = DefWindowProcW;
            record.hInstance = GetModuleHandleW (nullptr);
            record.lpszClassName = name.c_str();
            RegisterClassExW (&record);
        }
    }
    ~ForeignClasses()
    {
        for (const std::wstring& name : names)
            UnregisterClassW (name.c_str(), GetModuleHandleW (nullptr));
    }
    std::vector<std::wstring> names;
};

void expectNullWindowOperationsDoNothing (DesktopWindow& window)
{
    window.setTitle ("Tunewell");
    window.addResizableStyles();
    window.setClientSize (1080, 720);
    window.fitIntoWorkArea();
    window.setMinimumTrackSize (300, 300);
    window.setMaximumTrackSize (1500, 1200);
    window.hide();
    HWND view = createPopup();
    window.setContentView (view);
    EXPECT_EQ (GetParent (view), nullptr);
    window.resizeContentToFit();
    window.bringToFront();
    EXPECT_EQ (window.nativeHandle(), nullptr);
    DestroyWindow (view);
}

TEST (WindowClassNames, AreTheBaseNameAndRandomDigitsAndDifferPerWindow)
{
    DesktopWindow first ({ 0, 0, 100, 100 });
    DesktopWindow second ({ 0, 0, 100, 100 });
    const std::wstring firstName = classNameOf (handleOf (first));
    const std::wstring secondName = classNameOf (handleOf (second));
    EXPECT_TRUE (isBaseNameWithDigits (firstName, L"TunewellWindow")) << firstName.size();
    EXPECT_TRUE (isBaseNameWithDigits (secondName, L"TunewellWindow"));
    EXPECT_NE (firstName, secondName);
}

TEST (WindowClassNames, SkipANameThatIsAlreadyRegistered)
{
    const std::vector<std::wstring> names = upcomingClassNames (7, 2);
    ASSERT_NE (names[0], names[1]);
    const ForeignClasses taken ({ names[0] });

    DesktopWindow window ({ 0, 0, 100, 100 });
    ASSERT_NE (window.nativeHandle(), nullptr);
    EXPECT_EQ (classNameOf (handleOf (window)), names[1]);
}

TEST (UnavailableWindow, ResultsWhenEveryClassNameTriedIsTaken)
{
    const size_t windowsBefore = threadWindows().size();
    const ForeignClasses taken (upcomingClassNames (11, 64));

    DesktopWindow window ({ 0, 0, 100, 100 });
    EXPECT_EQ (threadWindows().size(), windowsBefore);
    expectNullWindowOperationsDoNothing (window);
}

LRESULT CALLBACK refuseWindowCreation (int code, WPARAM wParam, LPARAM lParam)
{
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx (nullptr, code, wParam, lParam);
}

TEST (UnavailableWindow, ResultsWhenTheWindowSystemRefusesTheWindowAndLeavesNoClass)
{
    const size_t windowsBefore = threadWindows().size();
    const std::wstring className = upcomingClassNames (13, 1)[0];

    HHOOK hook = SetWindowsHookExW (WH_CBT, refuseWindowCreation, nullptr, GetCurrentThreadId());
    ASSERT_NE (hook, nullptr);
    auto window = std::make_unique<DesktopWindow> (Bounds { 0, 0, 100, 100 });
    UnhookWindowsHookEx (hook);

    EXPECT_TRUE (classIsRegistered (className));
    EXPECT_EQ (threadWindows().size(), windowsBefore);
    expectNullWindowOperationsDoNothing (*window);
    window.reset();
    EXPECT_FALSE (classIsRegistered (className));
}

TEST (User32Function, FindsExistingFunctionsAndGivesNullForOthers)
{
    HMODULE user32 = GetModuleHandleW (L"user32.dll");
    EXPECT_EQ (getUser32Function ("IsWindow"), reinterpret_cast<void*> (GetProcAddress (user32, "IsWindow")));
    EXPECT_NE (getUser32Function ("IsWindow"), nullptr);
    EXPECT_EQ (getUser32Function ("NoSuchUser32Function"), nullptr);
    EXPECT_EQ (getUser32Function (""), nullptr);
    EXPECT_EQ (getUser32Function (nullptr), nullptr);
}

} // namespace
} // namespace tunewell::ui
