#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "text/float_to_string.h"

using tunewell::text::floatToString;
using tunewell::text::FloatToStringBuffer;

namespace
{

double fromBits (uint64_t bits)
{
    double d;
    std::memcpy (&d, &bits, sizeof (d));
    return d;
}

uint64_t toBits (double d)
{
    uint64_t bits;
    std::memcpy (&bits, &d, sizeof (bits));
    return bits;
}

int countSignificantDigits (const std::string& text)
{
    std::string digits;

    for (auto c : text)
    {
        if (c == 'e')
            break;

        if (c >= '0' && c <= '9')
            digits += c;
    }

    auto first = digits.find_first_not_of ('0');

    if (first == std::string::npos)
        return 0;

    auto last = digits.find_last_not_of ('0');
    return static_cast<int> (last - first + 1);
}

// Reads the text back and checks that it is the same double. std::from_chars
// rounds correctly everywhere; the C library's strtod does not (under Wine it
// is one unit in the last place out for some inputs).
void expectRoundTrip (double value, const char* context)
{
    auto text = floatToString (value);
    double readBack = 0;
    auto result = std::from_chars (text.data(), text.data() + text.size(), readBack);

    ASSERT_EQ (result.ec, std::errc()) << context << ": " << text;
    ASSERT_EQ (result.ptr, text.data() + text.size()) << context << ": " << text;
    ASSERT_EQ (toBits (readBack), toBits (value)) << context << ": " << text;
    ASSERT_LE (countSignificantDigits (text), 17) << context << ": " << text;
    ASSERT_LE (text.size(), 25u) << context << ": " << text;
}

} // namespace

TEST (FloatToString, WritesTheDocumentedExamples)
{
    EXPECT_EQ (floatToString (0.0), "0.0");
    EXPECT_EQ (floatToString (0.0, -1, true), "0.0");
    EXPECT_EQ (floatToString (-0.0), "-0.0");
    EXPECT_EQ (floatToString (1.0), "1.0");
    EXPECT_EQ (floatToString (1.0, -1, true), "1");
    EXPECT_EQ (floatToString (-3.0, -1, true), "-3");
    EXPECT_EQ (floatToString (100.0, -1, true), "100");
    EXPECT_EQ (floatToString (1e21), "1e21");
    EXPECT_EQ (floatToString (1e20, -1, true), "100000000000000000000");
    EXPECT_EQ (floatToString (0.000001), "0.000001");
    EXPECT_EQ (floatToString (1e-7), "1e-7");
    EXPECT_EQ (floatToString (2.5e-7), "2.5e-7");
    EXPECT_EQ (floatToString (0.1), "0.1");
    EXPECT_EQ (floatToString (-1.5), "-1.5");
    EXPECT_EQ (floatToString (1234.5), "1234.5");
    EXPECT_EQ (floatToString (1e300), "1e300");
    EXPECT_EQ (floatToString (5e-324), "5e-324");
    EXPECT_EQ (floatToString (12345678901234567890.0, -1, true), "12345678901234568000");
    EXPECT_EQ (floatToString (DBL_MAX), "1.7976931348623157e308");
    EXPECT_EQ (floatToString (DBL_MIN), "2.2250738585072014e-308");
}

TEST (FloatToString, KeepsGrisu2sOwnDigitsWhereOtherShortestAlgorithmsChooseOthers)
{
    // Each reads back as the same double, but a correctly rounded shortest
    // algorithm (std::to_chars, Ryu) writes other digits: one fewer for the
    // first two, a last digit closer to the exact value for the rest.
    const struct
    {
        double value;
        const char* grisu2;
    } cases[] = {
        { 0.1 + 0.2, "0.30000000000000007" },
        { 1e23, "9.999999999999999e22" },
        { 0x1.46c04d9ff7cf6p+582, "2.0203875408674628e175" },
        { 0x1.a5f87d0a7deddp-445, "1.8142378248306524e-134" },
        { 0x1.97aa4f8b9816dp+1005, "5.4602106546086599e302" },
        { 0x1.68764bc7e95edp+86, "1.0894298305429995e26" },
        { 0x1.358220a86bba7p-635, "8.479790115636044e-192" },
        { 0x1.9d53f30174596p+613, "5.4883541343617679e184" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (floatToString (c.value), c.grisu2);
        expectRoundTrip (c.value, c.grisu2);
    }
}

TEST (FloatToString, WritesNonFiniteValuesByName)
{
    EXPECT_EQ (floatToString (std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ (floatToString (std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ (floatToString (-std::numeric_limits<double>::infinity()), "-inf");
}

TEST (FloatToString, CutsDigitsPastTheDecimalPlaceLimitWithoutRounding)
{
    EXPECT_EQ (floatToString (1.2345, 2), "1.23");
    EXPECT_EQ (floatToString (1.999, 2), "1.99");
    EXPECT_EQ (floatToString (1.102, 2), "1.1");
    EXPECT_EQ (floatToString (1.0, 2), "1.0");
    EXPECT_EQ (floatToString (0.001, 2), "0.0");
    EXPECT_EQ (floatToString (0.001, 2, true), "0");
    EXPECT_EQ (floatToString (0.0123, 3), "0.012");
    EXPECT_EQ (floatToString (1e-7, 3), "0.0");
    EXPECT_EQ (floatToString (12.34, 0), "12.0");
    EXPECT_EQ (floatToString (12.34, 0, true), "12");
    EXPECT_EQ (floatToString (0.5, 0), "0.0");
}

TEST (FloatToString, BufferKeepsItsTextWhenCopied)
{
    FloatToStringBuffer<double> original (2.5);
    auto copy = original;
    original = FloatToStringBuffer<double> (7.0, -1, true);

    EXPECT_EQ (copy.getText(), "2.5");
    EXPECT_EQ (original.getText(), "7");
    EXPECT_EQ (copy.getEnd() - copy.begin(), 3);
}

TEST (FloatToString, ReadsBackToTheSameDoubleForRandomBitPatterns)
{
    const uint64_t seed = 0x5eed1234abcdull;
    std::mt19937_64 random (seed);
    auto context = "random bits, seed " + std::to_string (seed);

    for (int i = 0; i < 1000000; ++i)
    {
        auto value = fromBits (random());

        if (std::isfinite (value))
            expectRoundTrip (value, context.c_str());

        if (HasFatalFailure())
            return;
    }
}

TEST (FloatToString, ReadsBackSubnormalsAndPowersOfTen)
{
    const uint64_t seed = 4242;
    std::mt19937_64 random (seed);
    auto context = "subnormals, seed " + std::to_string (seed);

    for (int i = 0; i < 100000 && ! HasFatalFailure(); ++i)
        expectRoundTrip (fromBits (random() & ((1ull << 52) - 1)), context.c_str());

    for (uint64_t bits : { 1ull, 2ull, 3ull, (1ull << 52) - 1, 1ull << 52, (1ull << 52) + 1 })
        expectRoundTrip (fromBits (bits), "boundary");

    for (int exponent = -323; exponent <= 308 && ! HasFatalFailure(); ++exponent)
    {
        auto text = "1e" + std::to_string (exponent);
        expectRoundTrip (std::strtod (text.c_str(), nullptr), text.c_str());
    }
}

TEST (FloatToString, ReadsBackAtEveryBinaryExponent)
{
    // Each exponent picks its own cached power of ten, so each one is tried
    // with the smallest, largest and a middling significand.
    for (uint64_t exponent = 0; exponent < 0x7ff && ! HasFatalFailure(); ++exponent)
        for (uint64_t mantissa : { 0ull, 1ull, 0x8000000000000ull, 0x123456789abcdull, (1ull << 52) - 1 })
            if (exponent != 0 || mantissa != 0)
                expectRoundTrip (fromBits ((exponent << 52) | mantissa),
                                 ("exponent " + std::to_string (exponent)).c_str());
}

TEST (FloatToString, LaysOutEveryPositionOfThePoint)
{
    EXPECT_EQ (floatToString (123400.0), "123400.0");
    EXPECT_EQ (floatToString (12.34), "12.34");
    EXPECT_EQ (floatToString (0.001234), "0.001234");
    EXPECT_EQ (floatToString (1.234e23), "1.234e23");
    EXPECT_EQ (floatToString (1.234e-10), "1.234e-10");
    EXPECT_EQ (floatToString (1.2e22), "1.2e22");
    EXPECT_EQ (floatToString (1.2345, 2), "1.23");
    EXPECT_EQ (floatToString (0.00001234, 2), "0.0");

    // Every split of a fifteen-digit string, which any double nearest to it
    // gives back, and every length of a whole number.
    const std::string digits = "123456789012345";
    auto nearest = [] (const std::string& text) {
        double value = 0;
        std::from_chars (text.data(), text.data() + text.size(), value);
        return value;
    };

    for (std::size_t point = 1; point < digits.size(); ++point)
    {
        const auto text = digits.substr (0, point) + "." + digits.substr (point);
        EXPECT_EQ (floatToString (nearest (text)), text);
    }

    for (std::size_t length = 1; length <= digits.size(); ++length)
    {
        const auto whole = digits.substr (0, length);
        EXPECT_EQ (floatToString (nearest (whole)), whole + ".0");
    }
}
