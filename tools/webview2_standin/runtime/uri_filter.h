#pragma once

#include <string>

namespace tunewell::standin
{

/// Whether a URI matches a resource filter, in which "*" stands for any run
/// of characters (none included) and every other character for itself.
bool matchesUriFilter (const std::wstring& filter, const std::wstring& uri);

} // namespace tunewell::standin
