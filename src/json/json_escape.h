#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "text/utf8.h"

namespace tunewell::json
{

namespace escaping
{
inline constexpr char hexDigits[] = "0123456789abcdef";

template <typename Output>
void writeUnicodeEscape (Output& out, uint32_t unit)
{
    const char escape[] = { '\\', 'u', hexDigits[(unit >> 12) & 15], hexDigits[(unit >> 8) & 15],
                            hexDigits[(unit >> 4) & 15], hexDigits[unit & 15] };
    out.write (escape, sizeof (escape));
}

/// The two-character escape of a code point, or 0 when it has none.
constexpr char namedEscapeFor (uint32_t codePoint)
{
    switch (codePoint)
    {
        case '"':  return '"';
        case '\\': return '\\';
        case '\n': return 'n';
        case '\r': return 'r';
        case '\t': return 't';
        case '\b': return 'b';
        case '\f': return 'f';
        default:   return 0;
    }
}

constexpr bool isPlainCharacter (unsigned char c)
{
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
}

/// Skips whole 8-byte words of plain characters before end. A word is let
/// through only when no byte in it can need an escape; a doubtful word
/// (a carry between bytes can make one look doubtful) is left to the
/// byte-wise loop.
inline const unsigned char* skipPlainWords (const unsigned char* next, const unsigned char* end)
{
    constexpr uint64_t ones = 0x0101010101010101ull, highBits = 0x8080808080808080ull;
    auto hasZeroByte = [] (uint64_t word) { return ((word - ones) & ~word & highBits) != 0; };

    while (end - next >= 8)
    {
        uint64_t word;
        std::memcpy (&word, next, sizeof (word));

        bool hasHighOrDelete = ((word | (word + ones)) & highBits) != 0;
        bool hasControl = ((word - ones * 0x20) & ~word & highBits) != 0;

        if (hasHighOrDelete || hasControl || hasZeroByte (word ^ (ones * '"')) || hasZeroByte (word ^ (ones * '\\')))
            break;

        next += 8;
    }

    return next;
}

template <typename Output>
void writeEscapedCodePoint (Output& out, uint32_t codePoint)
{
    if (auto named = namedEscapeFor (codePoint))
    {
        const char escape[] = { '\\', named };
        out.write (escape, 2);
    }
    else if (codePoint < 0x10000)
    {
        writeUnicodeEscape (out, codePoint);
    }
    else if (codePoint > 0x10FFFF)
    {
        // Only malformed text decodes this high, and UTF-16 has no pair for it.
        writeUnicodeEscape (out, 0xFFFD);
    }
    else
    {
        writeUnicodeEscape (out, ((codePoint - 0x10000) >> 10) + 0xD800);
        writeUnicodeEscape (out, (codePoint & 0x3FF) | 0xDC00);
    }
}

/// Decodes one code point at next by the rule of text::decodeUTF8, bounded
/// by end as well as by a zero byte: a sequence cut off by either decodes
/// from the bytes before the cut.
inline uint32_t popCodePoint (const unsigned char*& next, const unsigned char* end)
{
    uint32_t lead = *next++;

    if (lead < 0x80)
        return lead;

    // Most text outside Latin script: a three-byte sequence wholly before
    // end and before any zero byte, decoded in one step.
    if ((lead & 0xF0) == 0xE0 && end - next >= 2 && next[0] != 0 && next[1] != 0)
    {
        uint32_t codePoint = ((lead & 0x0Fu) << 12) | ((next[0] & 0x3Fu) << 6) | (next[1] & 0x3Fu);
        next += 2;
        return codePoint;
    }

    int continuationBytes = 0;

    for (uint32_t bit = 0x40; (lead & bit) != 0 && continuationBytes < 3; bit >>= 1)
        ++continuationBytes;

    uint32_t codePoint = lead & (0x7Fu >> continuationBytes);

    for (int i = 0; i < continuationBytes; ++i)
    {
        if (next == end || *next == 0)
            break;

        codePoint = (codePoint << 6) | (*next++ & 0x3Fu);
    }

    return codePoint;
}
} // namespace escaping

/// Writes the text up to its first zero byte, or up to its end, as the inside
/// of a JSON string in pure ASCII. Runs of plain characters go out in one
/// call, since most text needs no escape.
template <typename Output>
void writeWithEscapeCharacters (Output& out, std::string_view source)
{
    auto* next = reinterpret_cast<const unsigned char*> (source.data());
    auto* end = next + source.size();

    while (next != end)
    {
        auto* runStart = next;
        next = escaping::skipPlainWords (next, end);

        while (next != end && escaping::isPlainCharacter (*next))
            ++next;

        if (next != runStart)
            out.write (reinterpret_cast<const char*> (runStart), static_cast<std::size_t> (next - runStart));

        if (next == end || *next == 0)
            return;

        auto codePoint = escaping::popCodePoint (next, end);

        // A sequence that decodes to 0 ends the text, as the zero byte does.
        if (codePoint == 0)
            return;

        escaping::writeEscapedCodePoint (out, codePoint);
    }
}

/// Writes zero-terminated UTF-8 text escaped; a null text writes nothing.
template <typename Output>
void writeWithEscapeCharacters (Output& out, text::UTF8Pointer source)
{
    if (source.text != nullptr)
        writeWithEscapeCharacters (out, std::string_view (source.text));
}

template <typename Output>
void writeEscapedQuotedString (Output& out, std::string_view text)
{
    out.put ('"');
    writeWithEscapeCharacters (out, text);
    out.put ('"');
}

/// The text escaped and enclosed in double quotes.
std::string getEscapedQuotedString (std::string_view text);

} // namespace tunewell::json
