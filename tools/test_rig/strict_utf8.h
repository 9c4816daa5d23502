#pragma once

#include <string>

namespace tunewell::testsupport
{

/// Whether a strict UTF-8 to UTF-16 conversion accepts the text: no overlong
/// forms, no encoded surrogates, nothing above U+10FFFF. Kept apart from the
/// library's own check so that it can serve as a reference for it.
bool isStrictUtf8 (const std::string& text);

} // namespace tunewell::testsupport
