#include "extension/utf8_repair.h"

namespace tunewell::text
{

namespace
{

constexpr const char* replacementCharacter = "\xEF\xBF\xBD";

bool isContinuation (unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

/// Bytes in the sequence that this lead byte starts, or 0 for a byte that
/// can never start one.
int sequenceLength (unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

/// The second byte's allowed range narrows for some leads, which is what
/// excludes overlong forms, surrogates and code points above U+10FFFF.
bool isValidSecondByte (unsigned char lead, unsigned char second)
{
    switch (lead)
    {
        case 0xE0: return second >= 0xA0 && second <= 0xBF;
        case 0xED: return second >= 0x80 && second <= 0x9F;
        case 0xF0: return second >= 0x90 && second <= 0xBF;
        case 0xF4: return second >= 0x80 && second <= 0x8F;
        default:   return isContinuation (second);
    }
}

/// How many bytes from position form a valid sequence (0 when none does);
/// invalidLength receives the length of the maximal invalid subpart.
size_t validSequenceAt (std::string_view text, size_t position, size_t& invalidLength)
{
    const auto lead = static_cast<unsigned char> (text[position]);
    const auto length = static_cast<size_t> (sequenceLength (lead));
    invalidLength = 1;

    if (length == 0)
        return 0;

    for (size_t i = 1; i < length; ++i)
    {
        if (position + i >= text.size())
            return 0;

        const auto next = static_cast<unsigned char> (text[position + i]);
        const bool valid = i == 1 ? isValidSecondByte (lead, next) : isContinuation (next);

        if (! valid)
            return 0;

        invalidLength = i + 1;
    }

    return length;
}

} // namespace

std::string withInvalidUtf8Replaced (std::string_view text)
{
    std::string repaired;
    repaired.reserve (text.size());
    size_t position = 0;

    while (position < text.size())
    {
        size_t invalidLength = 0;

        if (auto length = validSequenceAt (text, position, invalidLength))
        {
            repaired.append (text.substr (position, length));
            position += length;
        }
        else
        {
            repaired += replacementCharacter;
            position += invalidLength;
        }
    }

    return repaired;
}

} // namespace tunewell::text
