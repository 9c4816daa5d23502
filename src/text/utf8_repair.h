#pragma once

#include <string>
#include <string_view>

namespace tunewell::text
{

/// The text with every invalid UTF-8 sequence (stray continuation bytes,
/// overlong forms, encoded surrogates, code points above U+10FFFF, cut-off
/// sequences) replaced by U+FFFD, one per maximal invalid subpart as Unicode
/// recommends. Valid text comes back unchanged. Host text passes through
/// this before it reaches the page, because the strict conversion to UTF-16
/// would blank a whole script for one bad byte.
std::string withInvalidUtf8Replaced (std::string_view text);

} // namespace tunewell::text
