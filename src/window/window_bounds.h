#pragma once

#include <cstdint>

#include "window/bounds.h"

namespace tunewell::ui
{

/// A client rectangle in physical pixels, edges rather than a size, as the
/// window system's frame adjustment expects it.
struct PixelRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct Size
{
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct Point
{
    std::int32_t x = 0;
    std::int32_t y = 0;
};

/// Scales logical bounds by dpi / 96. Each of x, y, width and height is scaled
/// and truncated toward zero on its own, so the size never depends on where
/// the window sits. Results beyond the 32-bit range are clamped to it.
PixelRect physicalClientRect (const Bounds& bounds, unsigned int dpi);

/// One logical length in pixels, scaled and truncated as the bounds are.
std::int32_t scaledLength (std::int32_t logical, unsigned int dpi);

/// right - left (or bottom - top) of a frame rectangle, clamped to 32 bits,
/// because the difference of two extreme edges does not fit.
std::int32_t clampedExtent (std::int32_t low, std::int32_t high);

/// The window rectangle shrunk to the area where it is larger, then moved
/// in where it sticks out; a window already inside stays as it is. An empty
/// or inverted area, which no monitor has, leaves the window alone.
PixelRect fitIntoArea (const PixelRect& window, const PixelRect& area);

/// The sizes that a window reports when the window system asks for them
/// (WM_GETMINMAXINFO), in physical pixels; maximisedPosition is relative to
/// the monitor's top-left corner.
struct SizeLimits
{
    Size maximisedSize;
    Point maximisedPosition;
    Size minimumTrackSize;
    Size maximumTrackSize;
};

/// What a window of the given logical minimum and maximum answers at this
/// DPI, starting from the system's own proposal. A limit counts only when
/// both its values are above 0. The maximised window covers at most the
/// monitor's work area, starting at its corner, but never less than the
/// restored window's size (itself cut to the work area), so that maximising
/// never shrinks a window; the tracking maximum grows to allow that size.
SizeLimits windowSizeLimits (const SizeLimits& proposed, Size logicalMinimum, Size logicalMaximum, unsigned int dpi,
                             const PixelRect& monitor, const PixelRect& workArea, Size restoredSize);

} // namespace tunewell::ui
