#include "text/utf8_sequences.h"

namespace tunewell::text
{

namespace
{
/// The bytes of the sequence that a lead byte 0xC0 to 0xF7 starts.
std::size_t announcedLength (unsigned char lead)
{
    return lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

/// Bytes in the strict sequence that this lead byte starts, or 0 for a byte
/// that can never start one.
std::size_t strictSequenceLength (unsigned char lead)
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
bool isStrictSecondByte (unsigned char lead, unsigned char second)
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
} // namespace

const char* findIllegalUTF8 (const char* text, std::size_t length) noexcept
{
    auto* next = text;
    auto* end = text + length;

    for (;;)
    {
        next = skipPlainWords (next, end, [] (EightBytes bytes) { return ! bytes.hasByteAbove (0x7F); });

        if (next == end)
            return nullptr;

        auto lead = static_cast<unsigned char> (*next);

        if (lead < 0x80)
        {
            ++next;
            continue;
        }

        if (isContinuationByte (lead) || lead >= 0xF8)
            return next;

        // Two- and three-byte characters, the bulk of non-ASCII text, need
        // no code point check.
        if (lead < 0xF0 && end - next > 2 && isContinuationByte (static_cast<unsigned char> (next[1]))
            && (lead < 0xE0 || isContinuationByte (static_cast<unsigned char> (next[2]))))
        {
            next += lead < 0xE0 ? 2 : 3;
            continue;
        }

        auto sequenceLength = announcedLength (lead);

        if (static_cast<std::size_t> (end - next) < sequenceLength)
            return next;

        for (std::size_t i = 1; i < sequenceLength; ++i)
            if (! isContinuationByte (static_cast<unsigned char> (next[i])))
                return next + i;

        if (sequenceLength == 4 && decodeUTF8 (next).codePoint > 0x10FFFF)
            return next;

        next += sequenceLength;
    }
}

StrictSequence checkStrictSequence (std::string_view text) noexcept
{
    const auto lead = static_cast<unsigned char> (text[0]);
    const auto sequenceLength = strictSequenceLength (lead);

    if (sequenceLength == 0)
        return { false, 1 };

    for (std::size_t i = 1; i < sequenceLength; ++i)
    {
        if (i == text.size())
            return { false, i };

        const auto next = static_cast<unsigned char> (text[i]);

        if (! (i == 1 ? isStrictSecondByte (lead, next) : isContinuationByte (next)))
            return { false, i };
    }

    return { true, sequenceLength };
}

} // namespace tunewell::text
