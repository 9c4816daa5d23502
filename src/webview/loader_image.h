#pragma once

#include <cstddef>

namespace tunewell
{

/// The image of the WebView2 loader DLL that the browser host maps from
/// memory. Two libraries define it: the release one carries Microsoft's
/// loader, the test one the stand-in runtime; a program links exactly one.
extern const unsigned char loaderImage[];
extern const std::size_t loaderImageSize;

} // namespace tunewell
