#include "host_sdk/vantor_utils.h"
#include "text/hex_digits.h"

namespace
{

// Anything but a hex digit counts as a zero digit.
int digitOrZero (char c)
{
    const int value = tunewell::text::hexDigitValue (c);
    return value < 0 ? 0 : value;
}

} // namespace

TUNEWELL_EXPORT void hex2bin (const char* hexText, char* target)
{
    if (hexText == nullptr || target == nullptr)
        return;

    for (; hexText[0] != 0 && hexText[1] != 0; hexText += 2)
        *target++ = static_cast<char> (digitOrZero (hexText[0]) * 16 + digitOrZero (hexText[1]));
}
