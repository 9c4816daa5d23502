#pragma once

#include <cstdint>
#include <string>

namespace tunewell::testrig
{

/// Whether a strict UTF-8 to UTF-16 conversion accepts the text: no overlong
/// forms, no encoded surrogates, nothing above U+10FFFF. Kept apart from the
/// library's own check so that it can serve as a reference for it.
bool isStrictUtf8 (const std::string& text);

/// The UTF-8 form of one code point up to U+10FFFF (surrogates included, as
/// their three bytes), written apart from the library's encoder so that tests
/// can hold that encoder, and the decoders, against it.
std::string referenceUtf8 (uint32_t codePoint);

} // namespace tunewell::testrig
