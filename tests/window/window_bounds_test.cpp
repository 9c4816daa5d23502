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

} // namespace
} // namespace tunewell::ui
