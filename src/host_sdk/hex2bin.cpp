#include "host_sdk/vantor_utils.h"

namespace
{

int hexDigitValue (char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

} // namespace

TUNEWELL_EXPORT void hex2bin (const char* hexText, char* target)
{
    if (hexText == nullptr || target == nullptr)
        return;

    for (; hexText[0] != 0 && hexText[1] != 0; hexText += 2)
        *target++ = static_cast<char> (hexDigitValue (hexText[0]) * 16 + hexDigitValue (hexText[1]));
}
