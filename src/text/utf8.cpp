#include "text/utf8.h"

#include <cstring>

namespace tunewell::text
{

DecodedCodePoint decodeUTF8 (const char* text) noexcept
{
    if (text == nullptr)
        return {};

    auto lead = static_cast<uint8_t> (*text);

    if (lead < 0x80)
        return { lead, 1 };

    std::size_t continuationBytes = 0;

    for (uint8_t bit = 0x40; bit >= 0x10 && (lead & bit) != 0; bit >>= 1)
        ++continuationBytes;

    uint32_t codePoint = lead & (0x7fu >> continuationBytes);
    std::size_t length = 1;

    for (; length <= continuationBytes; ++length)
    {
        auto next = static_cast<uint8_t> (text[length]);

        // The terminator cuts the sequence short rather than being read past.
        if (next == 0)
            break;

        codePoint = (codePoint << 6) | (next & 0x3fu);
    }

    return { codePoint, length };
}

uint32_t UTF8Pointer::popFirstChar() noexcept
{
    auto decoded = decodeUTF8 (text);

    if (text != nullptr)
        text += decoded.length;

    return decoded.codePoint;
}

uint32_t UTF8Pointer::operator*() const noexcept
{
    return decodeUTF8 (text).codePoint;
}

UTF8Pointer& UTF8Pointer::operator++() noexcept
{
    popFirstChar();
    return *this;
}

UTF8Pointer UTF8Pointer::operator++ (int) noexcept
{
    auto previous = *this;
    popFirstChar();
    return previous;
}

bool UTF8Pointer::isAtEnd() const noexcept
{
    return text == nullptr || *text == 0;
}

bool UTF8Pointer::skipPrefix (std::string_view literal) noexcept
{
    if (text == nullptr)
        return literal.empty();

    // Compares byte by byte so that a shorter text stops at its terminator.
    for (std::size_t i = 0; i < literal.size(); ++i)
        if (text[i] != literal[i] || text[i] == 0)
            return false;

    text += literal.size();
    return true;
}

LineAndColumn findLineAndColumn (UTF8Pointer start, UTF8Pointer position) noexcept
{
    if (start.text == nullptr || position.text == nullptr)
        return {};

    LineAndColumn result { 1, 1 };

    while (start.text < position.text && ! start.isAtEnd())
    {
        ++result.column;

        if (start.popFirstChar() == '\n')
        {
            ++result.line;
            result.column = 1;
        }
    }

    return result;
}

} // namespace tunewell::text
