#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunewell::text
{

/// The strings in order with the separator between each two of them.
std::string joinStrings (const std::vector<std::string>& strings, std::string_view separator);

/// Replaces every occurrence of search, left to right without overlaps; the
/// inserted replacements are not searched again. An empty search changes
/// nothing.
std::string replace (std::string text, std::string_view search, std::string_view replacement);

} // namespace tunewell::text
