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

    /// Writes the text at buffer, which needs room for 25 characters, and
    /// returns the end of it; no terminator is written.
    static char* writeAndGetEnd (char* buffer, double value, int maxDecimalPlaces,
                                 bool omitPointForRoundNumbers) noexcept;

private:
    char storage[32];
    char* end = storage;
};

/// Convenience for the common case.
inline std::string floatToString (double value, int maxDecimalPlaces = -1, bool omitPointForRoundNumbers = false)
{
    return FloatToStringBuffer<double> (value, maxDecimalPlaces, omitPointForRoundNumbers).toString();
}

} // namespace tunewell::text
