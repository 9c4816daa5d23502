#pragma once

#include <string>

namespace tunewell::ui
{

/// UTF-8 text as the wide window functions take it; invalid UTF-8 gives an
/// empty text rather than a partly replaced one.
std::wstring windowText (const std::string& utf8);

} // namespace tunewell::ui
