#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tunewell::text
{

template <typename FloatType>
struct FloatToStringBuffer;

/// The shortest decimal text (Grisu2) that reads back as the same double,
/// written into a buffer that lives inside this object; nothing is allocated.
template <>
struct FloatToStringBuffer<double>
{
    /// maxDecimalPlaces < 0 means no limit; digits past the limit are cut off,
    /// not rounded. omitPointForRoundNumbers writes 3 rather than 3.0.
    explicit FloatToStringBuffer (double value, int maxDecimalPlaces = -1,
                                  bool omitPointForRoundNumbers = false) noexcept
        : end (writeAndGetEnd (storage, value, maxDecimalPlaces, omitPointForRoundNumbers))
    {
    }

    FloatToStringBuffer (const FloatToStringBuffer& other) noexcept { *this = other; }
    FloatToStringBuffer& operator= (const FloatToStringBuffer& other) noexcept;

    std::string_view getText() const noexcept { return { storage, static_cast<std::size_t> (end - storage) }; }
    std::string toString() const { return std::string (getText()); }
    const char* begin() const noexcept { return storage; }
    const char* getEnd() const noexcept { return end; }

    /// The value as mantissa x 2^exponent.
    struct MantissaAndExponent
    {
        uint64_t mantissa = 0;
        int32_t exponent = 0;
    };

    /// Writes the text at buffer, which needs room for 25 characters, and
    /// returns the end of it; no terminator is written.
    static char* writeAndGetEnd (char* buffer, double value, int maxDecimalPlaces,
                                 bool omitPointForRoundNumbers) noexcept;

    /// The shortest digits of the scaled value into buffer; returns their
    /// count and adds to decimalExponent so that digits x 10^decimalExponent
    /// is the value.
    static int generateDigits (MantissaAndExponent upper, uint64_t distance, uint64_t delta, char* buffer,
                               int& decimalExponent) noexcept;

    /// Lays out length digits at buffer with the decimal exponent; returns the
    /// end. Like writeAndGetEnd, it needs room for 25 characters.
    static char* addDecimalPointAndExponent (char* buffer, int length, int decimalExponent,
                                             int maxDecimalPlaces) noexcept;

    /// Writes an exponent of at most three digits, with "-" when negative.
    static char* writeShortInteger (char* buffer, int n) noexcept;

    char storage[32];
    char* end = storage;
};

/// Convenience for the common case.
inline std::string floatToString (double value, int maxDecimalPlaces = -1, bool omitPointForRoundNumbers = false)
{
    return FloatToStringBuffer<double> (value, maxDecimalPlaces, omitPointForRoundNumbers).toString();
}

} // namespace tunewell::text
