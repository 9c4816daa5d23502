#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tunewell::text
{

/// The most bytes that one sequence can take.
inline constexpr std::size_t longestUTF8Sequence = 4;

constexpr bool isContinuationByte (unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

/// One code point taken from the front of a UTF-8 text.
struct DecodedCodePoint
{
    uint32_t codePoint = 0;
    /// Bytes that the code point occupies.
    std::size_t length = 0;
};

/// Decodes the code point at text by the rule that every reader of text
/// follows, reading at most available bytes (at least 1) and none past a
/// zero byte; zero-terminated text needs no other bound. Nothing is
/// validated: the one-bits after the lead byte's top bit, at most three, say
/// how many continuation bytes follow, and each adds its low six bits,
/// whatever its top bits hold. So a stray continuation byte decodes to its
/// low seven bits and 0xF8 to 0xFF take three continuation bytes. A sequence
/// cut off by the end or by a zero byte decodes from the bytes before the cut
/// and ends there. A zero byte decodes to 0, length 1.
inline DecodedCodePoint decodeUTF8 (const char* text, std::size_t available = longestUTF8Sequence) noexcept
{
    auto* bytes = reinterpret_cast<const unsigned char*> (text);
    uint32_t lead = bytes[0];

    if (lead < 0x80)
        return { lead, 1 };

    // Most text outside Latin script: a three-byte sequence that neither the
    // end nor a zero byte cuts off, decoded in one step.
    if ((lead & 0xF0) == 0xE0 && available >= 3 && bytes[1] != 0 && bytes[2] != 0)
        return { ((lead & 0x0Fu) << 12) | ((bytes[1] & 0x3Fu) << 6) | (bytes[2] & 0x3Fu), 3 };

    std::size_t continuationBytes = 0;

    for (uint32_t bit = 0x40; bit >= 0x10 && (lead & bit) != 0; bit >>= 1)
        ++continuationBytes;

    uint32_t codePoint = lead & (0x7Fu >> continuationBytes);
    std::size_t length = 1;

    for (; length <= continuationBytes && length < available && bytes[length] != 0; ++length)
        codePoint = (codePoint << 6) | (bytes[length] & 0x3Fu);

    return { codePoint, length };
}

/// True when the code point takes fewer bytes in its shortest form than it
/// was decoded from. (The decoder never yields one that needs more.)
constexpr bool isOverlong (DecodedCodePoint decoded)
{
    constexpr uint32_t smallestOfLength[] = { 0, 0, 0x80, 0x800, 0x10000 };
    return decoded.codePoint < smallestOfLength[decoded.length];
}

/// Appends the code point in its shortest form, one to four bytes. Nothing is
/// checked: a surrogate takes three bytes like any other code point below
/// 0x10000. One above 0x10FFFF has no UTF-8 form and is not expected.
inline void appendUTF8 (std::string& target, uint32_t codePoint)
{
    auto continuation = [] (uint32_t bits) { return static_cast<char> (0x80 | (bits & 0x3F)); };

    if (codePoint < 0x80)
    {
        target.push_back (static_cast<char> (codePoint));
    }
    else if (codePoint < 0x800)
    {
        const char bytes[] = { static_cast<char> (0xC0 | (codePoint >> 6)), continuation (codePoint) };
        target.append (bytes, 2);
    }
    else if (codePoint < 0x10000)
    {
        const char bytes[] = { static_cast<char> (0xE0 | (codePoint >> 12)), continuation (codePoint >> 6),
                               continuation (codePoint) };
        target.append (bytes, 3);
    }
    else
    {
        const char bytes[] = { static_cast<char> ((0xF0 | (codePoint >> 18)) & 0xFF), continuation (codePoint >> 12),
                               continuation (codePoint >> 6), continuation (codePoint) };
        target.append (bytes, 4);
    }
}

/// The first byte of text[0, length) that breaks the UTF-8 form that the JSON
/// reader accepts, or null when there is none. Lead and continuation bytes
/// are checked, a sequence must end before length, and code points are capped
/// at 0x10FFFF; overlong forms and encoded surrogates pass, as they decode
/// harmlessly. A zero byte is a character like any other here.
const char* findIllegalUTF8 (const char* text, std::size_t length) noexcept;

/// The sequence at the front of a text as strict UTF-8 sees it, which allows
/// no overlong form, no encoded surrogate and nothing above U+10FFFF.
struct StrictSequence
{
    bool isWellFormed = false;
    /// The whole sequence when it is well formed; otherwise its maximal
    /// ill-formed subpart, the bytes that one replacement character stands
    /// for as Unicode recommends. Never 0 for a text that is not empty.
    std::size_t length = 0;
    /// The code point, when the sequence is well formed.
    uint32_t codePoint = 0;
};

namespace strictForm
{
/// Bytes in the strict sequence that this lead byte starts, or 0 for a byte
/// that can never start one.
constexpr std::size_t sequenceLength (unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

/// The second byte's allowed range narrows for some leads, which is what
/// excludes overlong forms, surrogates and code points above U+10FFFF.
constexpr bool isSecondByte (unsigned char lead, unsigned char second)
{
    switch (lead)
    {
        case 0xE0:
            return second >= 0xA0 && second <= 0xBF;
        case 0xED:
            return second >= 0x80 && second <= 0x9F;
        case 0xF0:
            return second >= 0x90 && second <= 0xBF;
        case 0xF4:
            return second >= 0x80 && second <= 0x8F;
        default:
            return isContinuationByte (second);
    }
}
} // namespace strictForm

/// Inline, since the JSON writer checks every non-ASCII character with it.
inline StrictSequence checkStrictSequence (std::string_view text) noexcept
{
    const auto lead = static_cast<unsigned char> (text[0]);

    // Most text outside Latin script: three bytes after a lead that narrows
    // nothing (not 0xE0 or 0xED), taken in one step.
    if (lead > 0xE0 && lead <= 0xEF && lead != 0xED && text.size() >= 3
        && isContinuationByte (static_cast<unsigned char> (text[1]))
        && isContinuationByte (static_cast<unsigned char> (text[2])))
        return { true, 3, ((lead & 0x0Fu) << 12) | ((text[1] & 0x3Fu) << 6) | (text[2] & 0x3Fu) };

    const auto sequenceLength = strictForm::sequenceLength (lead);

    if (sequenceLength == 0)
        return { false, 1 };

    uint32_t codePoint = lead & (0xFFu >> sequenceLength);

    for (std::size_t i = 1; i < sequenceLength; ++i)
    {
        if (i == text.size())
            return { false, i };

        const auto next = static_cast<unsigned char> (text[i]);

        if (! (i == 1 ? strictForm::isSecondByte (lead, next) : isContinuationByte (next)))
            return { false, i };

        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }

    return { true, sequenceLength, codePoint };
}

/// Eight bytes of text read as one word, so that a scan can test them all at
/// once. Each test is exact for the word as a whole, though not for which
/// byte matched.
struct EightBytes
{
    uint64_t word;

    static constexpr uint64_t ones = 0x0101010101010101ull, highBits = 0x8080808080808080ull;

    /// limit at most 0x80.
    constexpr bool hasByteBelow (unsigned char limit) const { return ((word - ones * limit) & ~word & highBits) != 0; }
    /// limit at most 0x7F.
    constexpr bool hasByteAbove (unsigned char limit) const
    {
        return (((word + ones * (0x7Fu - limit)) | word) & highBits) != 0;
    }
    constexpr bool hasByte (unsigned char byte) const { return EightBytes { word ^ (ones * byte) }.hasByteBelow (1); }
};

/// Moves next past the whole 8-byte words before end that isPlain accepts,
/// an EightBytes at a time; the caller goes on byte by byte from where this
/// stops. Plain bytes are most of any text, so this is where scans gain.
template <typename Byte, typename IsPlainWord>
const Byte* skipPlainWords (const Byte* next, const Byte* end, IsPlainWord isPlain)
{
    static_assert (sizeof (Byte) == 1);

    while (end - next >= 8)
    {
        EightBytes bytes;
        std::memcpy (&bytes.word, next, sizeof (bytes.word));

        if (! isPlain (bytes))
            break;

        next += 8;
    }

    return next;
}

} // namespace tunewell::text
