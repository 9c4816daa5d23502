#pragma once

#include <cstdint>

namespace tunewell::ui
{

/// A rectangle; for desktop windows in logical units of 1/96 inch, where x and
/// y place the client area's top-left corner and width and height size it.
struct Bounds
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

} // namespace tunewell::ui
