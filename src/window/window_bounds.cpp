#include "window/window_bounds.h"

#include <cmath>
#include <limits>

namespace tunewell::ui
{
namespace
{
std::int32_t clampToInt32 (double value)
{
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();

    // Converting an out-of-range double to int is undefined, so clamp first.
    if (value <= lowest)
        return std::numeric_limits<std::int32_t>::min();
    if (value >= highest)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t> (std::trunc (value));
}

std::int32_t clampToInt32 (std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t> (value);
}

std::int32_t scaled (std::int32_t logical, double scale)
{
    return clampToInt32 (logical * scale);
}
} // namespace

PixelRect physicalClientRect (const Bounds& bounds, unsigned int dpi)
{
    const double scale = dpi / 96.0;
    PixelRect rect;
    rect.left = scaled (bounds.x, scale);
    rect.top = scaled (bounds.y, scale);
    rect.right = clampToInt32 (std::int64_t { rect.left } + scaled (bounds.width, scale));
    rect.bottom = clampToInt32 (std::int64_t { rect.top } + scaled (bounds.height, scale));
    return rect;
}

std::int32_t clampedExtent (std::int32_t low, std::int32_t high)
{
    return clampToInt32 (std::int64_t { high } - low);
}

} // namespace tunewell::ui
