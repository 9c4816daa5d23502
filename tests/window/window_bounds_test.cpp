#include "window/window_bounds.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <random>

#include <gtest/gtest.h>

namespace tunewell::ui
{
namespace
{
constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32Min = std::numeric_limits<std::int32_t>::min();

void expectRect (const PixelRect& rect, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    EXPECT_EQ (rect.left, left);
    EXPECT_EQ (rect.top, top);
    EXPECT_EQ (rect.right, right);
    EXPECT_EQ (rect.bottom, bottom);
}

TEST (PhysicalClientRect, ScalesTheChooserBoundsAtCommonDpis)
{
    const Bounds chooser { 100, 100, 1080, 720 };
    expectRect (physicalClientRect (chooser, 96), 100, 100, 1180, 820);
    expectRect (physicalClientRect (chooser, 120), 125, 125, 1475, 1025);
    expectRect (physicalClientRect (chooser, 144), 150, 150, 1770, 1230);
}

TEST (PhysicalClientRect, TruncatesEachScaledValueTowardZero)
{
    // 1081 * 1.25 = 1351.25; the size is truncated on its own, not the edge.
    expectRect (physicalClientRect ({ 1, 1, 1081, 3 }, 120), 1, 1, 1352, 4);
    expectRect (physicalClientRect ({ 0, 0, 1081, 3 }, 120), 0, 0, 1351, 3);
    // -1.5 becomes -1, not -2.
    expectRect (physicalClientRect ({ -1, -3, 1, 1 }, 144), -1, -4, 0, -3);
}

TEST (PhysicalClientRect, ClampsResultsThatLeaveTheIntegerRange)
{
    expectRect (physicalClientRect ({ int32Max, int32Min, int32Max, int32Max }, 144), int32Max, int32Min, int32Max, -1);
    expectRect (physicalClientRect ({ 0, 0, int32Min, int32Min }, 192), 0, 0, int32Min, int32Min);
    expectRect (physicalClientRect ({ int32Min, 0, int32Min, 0 }, 96), int32Min, 0, int32Min, 0);
}

TEST (PhysicalClientRect, GivesAnEmptyRectangleAtZeroDpi)
{
    expectRect (physicalClientRect ({ 100, 100, 1080, 720 }, 0), 0, 0, 0, 0);
}

std::int32_t clampReference (std::int64_t value)
{
    return static_cast<std::int32_t> (std::clamp<std::int64_t> (value, int32Min, int32Max));
}

TEST (PhysicalClientRect, AgreesWithExactIntegerArithmeticOnRandomBounds)
{
    // For these DPIs dpi / 96 is exact in binary, so truncating the double
    // product must equal integer division, which truncates toward zero.
    const unsigned int dpis[] = { 96, 120, 144, 168, 192, 240, 288 };
    const unsigned int seed = 20240611;
    std::mt19937 random (seed);
    std::uniform_int_distribution<std::int32_t> anyValue (int32Min, int32Max);
    std::uniform_int_distribution<std::int32_t> smallValue (-5000, 5000);

    for (int i = 0; i < 20000; ++i)
    {
        auto& distribution = i % 2 == 0 ? anyValue : smallValue;
        const Bounds bounds { distribution (random), distribution (random), distribution (random),
                              distribution (random) };
        const unsigned int dpi = dpis[static_cast<size_t> (i) % std::size (dpis)];
        const auto scaled = [dpi] (std::int32_t v) { return clampReference (std::int64_t { v } * dpi / 96); };

        const PixelRect rect = physicalClientRect (bounds, dpi);
        const std::int32_t left = scaled (bounds.x);
        const std::int32_t top = scaled (bounds.y);
        ASSERT_EQ (rect.left, left) << "seed " << seed << " case " << i;
        ASSERT_EQ (rect.top, top) << "seed " << seed << " case " << i;
        ASSERT_EQ (rect.right, clampReference (std::int64_t { left } + scaled (bounds.width)))
            << "seed " << seed << " case " << i;
        ASSERT_EQ (rect.bottom, clampReference (std::int64_t { top } + scaled (bounds.height)))
            << "seed " << seed << " case " << i;
    }
}

TEST (ClampedExtent, SubtractsAndClampsToTheIntegerRange)
{
    EXPECT_EQ (clampedExtent (100, 1180), 1080);
    EXPECT_EQ (clampedExtent (10, -5), -15);
    EXPECT_EQ (clampedExtent (int32Min, int32Max), int32Max);
    EXPECT_EQ (clampedExtent (int32Max, int32Min), int32Min);
}

void expectSize (Size size, std::int32_t width, std::int32_t height)
{
    EXPECT_EQ (size.width, width);
    EXPECT_EQ (size.height, height);
}

TEST (FitIntoArea, ShrinksWhatIsLargerAndMovesInWhatSticksOut)
{
    const PixelRect screen { 0, 0, 1920, 1080 };
    struct Case
    {
        PixelRect window, fitted;
    };
    const Case cases[] = {
        { { 95, 67, 1191, 799 }, { 95, 67, 1191, 799 } },          // inside: untouched
        { { 145, 117, 1775, 1235 }, { 145, 0, 1775, 1080 } },      // too tall: full height, top edge
        { { 195, 167, 2365, 1645 }, { 0, 0, 1920, 1080 } },        // too large both ways
        { { 1800, 1000, 2100, 1300 }, { 1620, 780, 1920, 1080 } }, // sticks out right and bottom
        { { -50, -20, 250, 280 }, { 0, 0, 300, 300 } },            // sticks out left and top
        { { 10, 10, 5, 5 }, { 10, 10, 10, 10 } },                  // inverted: an empty window in place
        { { int32Min, int32Min, int32Max, int32Max }, { 0, 0, 1920, 1080 } },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.window.left << "," << c.window.top);
        const PixelRect f = fitIntoArea (c.window, screen);
        expectRect (f, c.fitted.left, c.fitted.top, c.fitted.right, c.fitted.bottom);
    }

    // A work area away from the origin (a second monitor with a task bar at its top).
    expectRect (fitIntoArea ({ 1900, 10, 2500, 600 }, { 1920, 40, 3840, 1080 }), 1920, 40, 2520, 630);
    // No area to fit into: nothing changes.
    expectRect (fitIntoArea ({ 1, 2, 3, 4 }, { 5, 5, 5, 900 }), 1, 2, 3, 4);
}

TEST (WindowSizeLimits, ScaleTheChoosersLimitsAndKeepTheMaximisedWindowInTheWorkArea)
{
    const PixelRect screen { 0, 0, 1920, 1080 };
    const SizeLimits proposed { { 1930, 1090 }, { -5, -5 }, { 136, 39 }, { 1932, 1092 } };
    struct Case
    {
        unsigned int dpi;
        Size restored, minimumTrack, maximumTrack, maximised;
    };
    const Case cases[] = {
        { 96, { 1090, 752 }, { 300, 300 }, { 1500, 1200 }, { 1500, 1080 } },
        { 144, { 1630, 1080 }, { 450, 450 }, { 2250, 1800 }, { 1920, 1080 } },
        { 192, { 1920, 1080 }, { 600, 600 }, { 3000, 2400 }, { 1920, 1080 } },
        // A window wider than its maximum (from a monitor of another scale) keeps its width.
        { 96, { 1700, 700 }, { 300, 300 }, { 1700, 1200 }, { 1700, 1080 } },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE (c.dpi);
        const SizeLimits limits = windowSizeLimits (proposed, { 300, 300 }, { 1500, 1200 }, c.dpi, screen, screen,
                                                    c.restored);
        expectSize (limits.minimumTrackSize, c.minimumTrack.width, c.minimumTrack.height);
        expectSize (limits.maximumTrackSize, c.maximumTrack.width, c.maximumTrack.height);
        expectSize (limits.maximisedSize, c.maximised.width, c.maximised.height);
        EXPECT_EQ (limits.maximisedPosition.x, 0);
        EXPECT_EQ (limits.maximisedPosition.y, 0);
    }
}

TEST (WindowSizeLimits, LeaveUnsetLimitsToTheSystemButNeverMaximiseBeyondTheWorkArea)
{
    const SizeLimits proposed { { 1930, 1090 }, { -5, -5 }, { 136, 39 }, { 1932, 1092 } };
    const PixelRect monitor { 1920, 0, 3840, 1080 };
    const PixelRect workArea { 1920, 40, 3840, 1080 };

    const SizeLimits limits = windowSizeLimits (proposed, { 300, 0 }, { 0, 0 }, 144, monitor, workArea, { 800, 600 });
    expectSize (limits.minimumTrackSize, 136, 39);
    expectSize (limits.maximumTrackSize, 1932, 1092);
    expectSize (limits.maximisedSize, 1920, 1040);
    EXPECT_EQ (limits.maximisedPosition.x, 0);
    EXPECT_EQ (limits.maximisedPosition.y, 40);

    // Without a work area only the scaling applies.
    const SizeLimits bare = windowSizeLimits (proposed, { 300, 300 }, { 1500, 1200 }, 192, {}, {}, { 800, 600 });
    expectSize (bare.maximisedSize, 3000, 2400);
    EXPECT_EQ (bare.maximisedPosition.x, -5);
}

} // namespace
} // namespace tunewell::ui
