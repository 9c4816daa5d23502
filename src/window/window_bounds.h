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

/// Scales logical bounds by dpi / 96. Each of x, y, width and height is scaled
/// and truncated toward zero on its own, so the size never depends on where
/// the window sits. Results beyond the 32-bit range are clamped to it.
PixelRect physicalClientRect (const Bounds& bounds, unsigned int dpi);

/// right - left (or bottom - top) of a frame rectangle, clamped to 32 bits,
/// because the difference of two extreme edges does not fit.
std::int32_t clampedExtent (std::int32_t low, std::int32_t high);

} // namespace tunewell::ui
