#include "json/utf8_check.h"

#include <cstdint>
#include <cstring>

namespace tunewell::json
{

namespace
{
constexpr uint64_t highBitsOfEachByte = 0x8080808080808080ull;

/// Skips whole 8-byte words of ASCII, which is most of any JSON text.
const unsigned char* skipASCIIWords (const unsigned char* next, const unsigned char* end)
{
    while (end - next >= 8)
    {
        uint64_t word;
        std::memcpy (&word, next, sizeof (word));

        if ((word & highBitsOfEachByte) != 0)
            break;

        next += 8;
    }

    return next;
}

int countContinuationBytes (unsigned char lead)
{
    int count = 0;

    for (unsigned bit = 0x40; (lead & bit) != 0; bit >>= 1)
        ++count;

    return count;
}

bool isContinuationByte (unsigned char c)
{
    return (c & 0xC0) == 0x80;
}
} // namespace

const char* findIllegalUTF8 (const char* text, std::size_t length)
{
    auto* next = reinterpret_cast<const unsigned char*> (text);
    auto* end = next + length;

    while (next != end)
    {
        next = skipASCIIWords (next, end);

        if (next == end)
            break;

        auto* lead = next;

        if (*lead < 0x80)
        {
            ++next;
            continue;
        }

        if (isContinuationByte (*lead))
            return reinterpret_cast<const char*> (lead);

        // Two- and three-byte characters, the bulk of non-ASCII text, need
        // no code point check.
        if (*lead < 0xF0 && end - lead > 2 && isContinuationByte (lead[1]) && (*lead < 0xE0 || isContinuationByte (lead[2])))
        {
            next = lead + (*lead < 0xE0 ? 2 : 3);
            continue;
        }

        auto continuationBytes = countContinuationBytes (*lead);

        if (continuationBytes > 3 || end - lead <= continuationBytes)
            return reinterpret_cast<const char*> (lead);

        uint32_t codePoint = *lead & (0x7Fu >> continuationBytes);

        for (int i = 1; i <= continuationBytes; ++i)
        {
            if (! isContinuationByte (lead[i]))
                return reinterpret_cast<const char*> (lead + i);

            codePoint = (codePoint << 6) | (lead[i] & 0x3Fu);
        }

        if (codePoint > 0x10FFFF)
            return reinterpret_cast<const char*> (lead);

        next = lead + 1 + continuationBytes;
    }

    return nullptr;
}

} // namespace tunewell::json
