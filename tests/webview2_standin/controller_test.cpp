#include "standin_fixture.h"

namespace tunewell::standin::testing
{
namespace
{

class ControllerTest : public StandinTest
{
protected:
    void SetUp() override
    {
        StandinTest::SetUp();
        ASSERT_NO_FATAL_FAILURE (createBrowser());
    }

    /// The child window that holds the browser content, found as the only
    /// child of the parent.
    HWND content() const { return GetWindow (parent, GW_CHILD); }

    RECT contentRectInParent() const
    {
        RECT r {};
        GetWindowRect (content(), &r);
        MapWindowPoints (HWND_DESKTOP, parent, reinterpret_cast<POINT*> (&r), 2);
        return r;
    }
};

TEST_F (ControllerTest, ContentIsAVisibleChildWindowOfTheParent)
{
    ASSERT_NE (content(), nullptr);
    EXPECT_EQ (GetParent (content()), parent);
    EXPECT_TRUE (GetWindowLongW (content(), GWL_STYLE) & WS_VISIBLE);

    HWND reported = nullptr;
    EXPECT_EQ (controller->get_ParentWindow (&reported), S_OK);
    EXPECT_EQ (reported, parent);
}

TEST_F (ControllerTest, BoundsMoveTheContentWindowAndReadBack)
{
    RECT wanted { 10, 20, 310, 220 };
    ASSERT_EQ (controller->put_Bounds (wanted), S_OK);

    auto placed = contentRectInParent();
    EXPECT_EQ (placed.left, 10);
    EXPECT_EQ (placed.top, 20);
    EXPECT_EQ (placed.right, 310);
    EXPECT_EQ (placed.bottom, 220);

    RECT reported {};
    ASSERT_EQ (controller->get_Bounds (&reported), S_OK);
    EXPECT_TRUE (EqualRect (&reported, &wanted));

    EXPECT_EQ (readLog().back(), (LogEntry { L"put_Bounds", L"10\t20\t310\t220" }));
}

TEST_F (ControllerTest, VisibilityShowsAndHidesTheContentWindow)
{
    ASSERT_EQ (controller->put_IsVisible (FALSE), S_OK);
    EXPECT_FALSE (GetWindowLongW (content(), GWL_STYLE) & WS_VISIBLE);

    BOOL visible = TRUE;
    ASSERT_EQ (controller->get_IsVisible (&visible), S_OK);
    EXPECT_FALSE (visible);

    ASSERT_EQ (controller->put_IsVisible (TRUE), S_OK);
    EXPECT_TRUE (GetWindowLongW (content(), GWL_STYLE) & WS_VISIBLE);

    auto log = readLog();
    ASSERT_GE (log.size(), 2u);
    EXPECT_EQ (log[log.size() - 2], (LogEntry { L"put_IsVisible", L"0" }));
    EXPECT_EQ (log.back(), (LogEntry { L"put_IsVisible", L"1" }));
}

TEST_F (ControllerTest, CloseDestroysTheContentAndRefusesLaterCalls)
{
    ASSERT_EQ (controller->Close(), S_OK);
    EXPECT_EQ (content(), nullptr);
    EXPECT_EQ (standin_open_view_count(), 0);

    const HRESULT invalidState = HRESULT_FROM_WIN32 (ERROR_INVALID_STATE);
    EXPECT_EQ (controller->put_Bounds (RECT { 0, 0, 5, 5 }), invalidState);
    EXPECT_EQ (view->ExecuteScript (L"1", nullptr), invalidState);

    ICoreWebView2* none = reinterpret_cast<ICoreWebView2*> (1);
    EXPECT_EQ (controller->get_CoreWebView2 (&none), invalidState);
    EXPECT_EQ (none, nullptr);
}

TEST_F (ControllerTest, ReleasingTheLastReferenceClosesLikeClose)
{
    view.reset();
    controller.reset();
    EXPECT_EQ (content(), nullptr);
}

TEST_F (ControllerTest, BadArgumentsAreRefusedWithoutEffect)
{
    EXPECT_EQ (controller->get_Bounds (nullptr), E_POINTER);
    EXPECT_EQ (controller->put_ZoomFactor (0.0), E_INVALIDARG);
    EXPECT_EQ (controller->put_ParentWindow (nullptr), E_INVALIDARG);
    EXPECT_EQ (GetParent (content()), parent);
}

} // namespace
} // namespace tunewell::standin::testing
