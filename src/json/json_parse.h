#pragma once

#include <cstddef>

#include "json/parse_error.h"
#include "text/utf8.h"
#include "values/value.h"

namespace tunewell::json
{

/// Reads JSON text. text is zero-terminated UTF-8 (null counts as empty) and
/// length its byte count without the terminator: those bytes are first
/// checked to be UTF-8 ("Illegal UTF8 data"), then parsing runs up to the
/// zero. Without parseBareValue the top level must be an object or an array,
/// and an empty text gives a void value. Nothing after the first complete
/// value is read. Syntax errors throw ParseError with their place; a
/// duplicate member name throws value::Error.
value::Value parse (const char* text, std::size_t length, bool parseBareValue);

/// The same for text already known to be UTF-8.
value::Value parse (text::UTF8Pointer text, bool parseBareValue);

/// Arrays and objects may nest this deep; one level more fails with
/// "Nesting too deep", so that hostile input cannot exhaust the stack.
inline constexpr int maximumNestingDepth = 512;

} // namespace tunewell::json
