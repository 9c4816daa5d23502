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

} // namespace tunewell::text
