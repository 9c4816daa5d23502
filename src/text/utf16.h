#pragma once

// Conversions for text that crosses to or from the operating system's UTF-16
// interfaces. Both are strict: any invalid sequence gives an empty result.

#ifdef _WIN32

#include <string>
#include <string_view>

namespace tunewell::text
{

std::wstring utf8ToUtf16 (std::string_view text);
std::string utf16ToUtf8 (std::wstring_view text);

} // namespace tunewell::text

#endif
