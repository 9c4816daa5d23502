#pragma once

#include <cstddef>

namespace tunewell::json
{

/// The first byte of text[0, length) that breaks the UTF-8 form the parser
/// accepts, or null when there is none. Lead and continuation bytes are
/// checked and code points are capped at 0x10FFFF; overlong forms and encoded
/// surrogates pass, as they decode harmlessly.
const char* findIllegalUTF8 (const char* text, std::size_t length);

} // namespace tunewell::json
