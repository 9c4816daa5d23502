#pragma once

// Hexadecimal digits both ways, for every reader and writer of hex text.

namespace tunewell::text
{

/// Lower-case digits, indexed by their value.
inline constexpr char lowerHexDigits[] = "0123456789abcdef";

/// The value of a digit of either case, or -1 for any other character:
/// the JSON reader refuses such a character, while the host's hex decoding
/// counts it as a zero digit.
constexpr int hexDigitValue (char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace tunewell::text
