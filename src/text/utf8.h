#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/line_and_column.h"
#include "text/utf8_sequences.h"

namespace tunewell::text
{

/// A position in zero-terminated UTF-8 text. It never owns the text and may
/// be null.
struct UTF8Pointer
{
    UTF8Pointer() = default;
    explicit UTF8Pointer (const char* t) noexcept : text (t) {}

    /// Decodes the code point here (see decodeUTF8) and moves past it. Also
    /// moves past a zero byte, so callers stop when they get 0. A null
    /// pointer gives 0 and stays null.
    uint32_t popFirstChar() noexcept;

    uint32_t operator*() const noexcept;
    UTF8Pointer& operator++() noexcept;
    UTF8Pointer operator++ (int) noexcept;

    bool isAtEnd() const noexcept;

    /// Moves past the literal when the text here starts with it.
    bool skipPrefix (std::string_view literal) noexcept;

    const char* data() const noexcept { return text; }

    bool operator== (UTF8Pointer other) const noexcept { return text == other.text; }
    bool operator!= (UTF8Pointer other) const noexcept { return text != other.text; }

    const char* text = nullptr;
};

/// The line and column of position, counting code points from start, which
/// must point into the same text at or before it. A null pointer gives (0, 0).
LineAndColumn findLineAndColumn (UTF8Pointer start, UTF8Pointer position) noexcept;

} // namespace tunewell::text
