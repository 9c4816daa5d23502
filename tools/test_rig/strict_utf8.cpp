#include "strict_utf8.h"

namespace tunewell::testrig
{

bool isStrictUtf8 (const std::string& text)
{
    auto byteAt = [&text] (size_t i) { return static_cast<unsigned char> (text[i]); };
    for (size_t i = 0; i < text.size();)
    {
        auto lead = byteAt (i);
        size_t length = lead < 0x80                 ? 1
                      : lead >= 0xc2 && lead < 0xe0 ? 2
                      : lead >= 0xe0 && lead < 0xf0 ? 3
                      : lead >= 0xf0 && lead < 0xf5 ? 4
                                                    : 0;
        if (length == 0 || text.size() - i < length)
            return false;
        for (size_t k = 1; k < length; ++k)
            if ((byteAt (i + k) & 0xc0) != 0x80)
                return false;
        auto second = length > 1 ? byteAt (i + 1) : 0;
        if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second > 0x9f) || (lead == 0xf0 && second < 0x90)
            || (lead == 0xf4 && second > 0x8f))
            return false; // overlong forms, surrogates, beyond U+10FFFF
        i += length;
    }
    return true;
}

std::string referenceUtf8 (uint32_t codePoint)
{
    std::string out;

    if (codePoint < 0x80)
        out += static_cast<char> (codePoint);
    else if (codePoint < 0x800)
    {
        out += static_cast<char> (0xc0 | (codePoint >> 6));
        out += static_cast<char> (0x80 | (codePoint & 0x3f));
    }
    else if (codePoint < 0x10000)
    {
        out += static_cast<char> (0xe0 | (codePoint >> 12));
        out += static_cast<char> (0x80 | ((codePoint >> 6) & 0x3f));
        out += static_cast<char> (0x80 | (codePoint & 0x3f));
    }
    else
    {
        out += static_cast<char> (0xf0 | (codePoint >> 18));
        out += static_cast<char> (0x80 | ((codePoint >> 12) & 0x3f));
        out += static_cast<char> (0x80 | ((codePoint >> 6) & 0x3f));
        out += static_cast<char> (0x80 | (codePoint & 0x3f));
    }

    return out;
}

} // namespace tunewell::testrig
