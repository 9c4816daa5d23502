#include "window/window_bounds.h"

#include <algorithm>
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

bool isSet (Size size)
{
    return size.width > 0 && size.height > 0;
}

Size scaledSize (Size logical, unsigned int dpi)
{
    return { scaledLength (logical.width, dpi), scaledLength (logical.height, dpi) };
}

// Edges as 64-bit values: the edges of a 32-bit rectangle may lie further
// apart than 32 bits reach.
std::int64_t placedInside (std::int64_t start, std::int64_t length, std::int64_t areaStart, std::int64_t areaEnd)
{
    return std::clamp (start, areaStart, areaEnd - length);
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

std::int32_t scaledLength (std::int32_t logical, unsigned int dpi)
{
    return scaled (logical, dpi / 96.0);
}

std::int32_t clampedExtent (std::int32_t low, std::int32_t high)
{
    return clampToInt32 (std::int64_t { high } - low);
}

PixelRect fitIntoArea (const PixelRect& window, const PixelRect& area)
{
    const std::int64_t areaWidth = std::int64_t { area.right } - area.left;
    const std::int64_t areaHeight = std::int64_t { area.bottom } - area.top;
    if (areaWidth <= 0 || areaHeight <= 0)
        return window;

    const std::int64_t width = std::clamp<std::int64_t> (std::int64_t { window.right } - window.left, 0, areaWidth);
    const std::int64_t height = std::clamp<std::int64_t> (std::int64_t { window.bottom } - window.top, 0, areaHeight);
    const std::int64_t left = placedInside (window.left, width, area.left, area.right);
    const std::int64_t top = placedInside (window.top, height, area.top, area.bottom);

    // Inside the area, so every edge fits 32 bits again.
    return { static_cast<std::int32_t> (left), static_cast<std::int32_t> (top),
             static_cast<std::int32_t> (left + width), static_cast<std::int32_t> (top + height) };
}

SizeLimits windowSizeLimits (const SizeLimits& proposed, Size logicalMinimum, Size logicalMaximum, unsigned int dpi,
                             const PixelRect& monitor, const PixelRect& workArea, Size restoredSize)
{
    SizeLimits limits = proposed;
    if (isSet (logicalMinimum))
        limits.minimumTrackSize = scaledSize (logicalMinimum, dpi);
    if (isSet (logicalMaximum))
        limits.maximumTrackSize = limits.maximisedSize = scaledSize (logicalMaximum, dpi);

    const Size work { clampedExtent (workArea.left, workArea.right), clampedExtent (workArea.top, workArea.bottom) };
    if (! isSet (work))
        return limits;

    const auto maximisedLength = [] (std::int32_t length, std::int32_t restored, std::int32_t available) {
        return std::max (std::min (length, available), std::min (restored, available));
    };
    limits.maximisedSize = { maximisedLength (limits.maximisedSize.width, restoredSize.width, work.width),
                             maximisedLength (limits.maximisedSize.height, restoredSize.height, work.height) };
    limits.maximisedPosition = { clampedExtent (monitor.left, workArea.left),
                                 clampedExtent (monitor.top, workArea.top) };
    // The system cuts a maximised window to the tracking maximum.
    limits.maximumTrackSize = { std::max (limits.maximumTrackSize.width, limits.maximisedSize.width),
                                std::max (limits.maximumTrackSize.height, limits.maximisedSize.height) };
    return limits;
}

} // namespace tunewell::ui
