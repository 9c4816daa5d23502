#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/hex_digits.h"
#include "text/utf8.h"

namespace tunewell::json
{

namespace escaping
{
inline constexpr uint32_t replacementCharacter = 0xFFFD;

template <typename Output>
void writeUnicodeEscape (Output& out, uint32_t unit)
{
    const char escape[] = { '\\',
                            'u',
                            text::lowerHexDigits[(unit >> 12) & 15],
                            text::lowerHexDigits[(unit >> 8) & 15],
                            text::lowerHexDigits[(unit >> 4) & 15],
                            text::lowerHexDigits[unit & 15] };
    out.write (escape, sizeof (escape));
}

/// The two-character escape of a code point, or 0 when it has none.
constexpr char namedEscapeFor (uint32_t codePoint)
{
    switch (codePoint)
    {
        case '"':
            return '"';
        case '\\':
            return '\\';
        case '\n':
            return 'n';
        case '\r':
            return 'r';
        case '\t':
            return 't';
        case '\b':
            return 'b';
        case '\f':
            return 'f';
        default:
            return 0;
    }
}

constexpr bool isPlainCharacter (unsigned char c)
{
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
}

/// The reader keeps a lone surrogate escape (\\ud800 to \\udfff) as the three
/// bytes that encode it; they go out again as that escape, so that such JSON
/// text reads and writes back unchanged. They are the only ill-formed
/// sequences that are kept.
constexpr bool isEncodedSurrogate (const unsigned char* next, const unsigned char* end)
{
    return end - next >= 3 && next[0] == 0xED && (next[1] & 0xE0) == 0xA0 && text::isContinuationByte (next[2]);
}

/// Skips whole 8-byte words of plain characters before end.
inline const unsigned char* skipPlainWords (const unsigned char* next, const unsigned char* end)
{
    return text::skipPlainWords (next, end, [] (text::EightBytes bytes) {
        return ! (bytes.hasByteAbove (0x7E) || bytes.hasByteBelow (0x20) || bytes.hasByte ('"')
                  || bytes.hasByte ('\\'));
    });
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
    else
    {
        writeUnicodeEscape (out, ((codePoint - 0x10000) >> 10) + 0xD800);
        writeUnicodeEscape (out, (codePoint & 0x3FF) | 0xDC00);
    }
}

} // namespace escaping

/// Writes the text up to its first zero byte, or up to its end, as the inside
/// of a JSON string in pure ASCII; ill-formed UTF-8 is written as U+FFFD.
/// Runs of plain characters go out in one call, since most text needs no
/// escape.
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

        // Text that is not UTF-8 (a host's Latin-1 name, a cut-off sequence)
        // gets the song list's repair: one U+FFFD per maximal ill-formed
        // subpart, and the text after it is kept. A zero byte ends a
        // sequence like any byte that is no continuation, so none is read.
        auto* sequence = reinterpret_cast<const char*> (next);
        auto checked = text::checkStrictSequence ({ sequence, static_cast<std::size_t> (end - next) });

        if (! checked.isWellFormed && escaping::isEncodedSurrogate (next, end))
            checked = { true, 3, text::decodeUTF8 (sequence, 3).codePoint };

        next += checked.length;
        escaping::writeEscapedCodePoint (out,
                                         checked.isWellFormed ? checked.codePoint : escaping::replacementCharacter);
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
