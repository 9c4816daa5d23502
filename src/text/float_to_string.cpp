#include "text/float_to_string.h"

#include <cstring>

namespace tunewell::text
{

using Buffer = FloatToStringBuffer<double>;

namespace
{

/// A value as mantissa x 2^exponent.
struct MantissaAndExponent
{
    uint64_t mantissa = 0;
    int32_t exponent = 0;
};

struct CachedPower
{
    uint64_t mantissa;
    int32_t exponent;
};

// Normalised 64-bit significands of 10^-348, 10^-340, ... 10^340, each rounded
// to nearest, with the binary exponent that goes with it.
constexpr CachedPower cachedPowersOfTen[] = {
    { 0xfa8fd5a0081c0288ull, -1220 }, // 1e-348
    { 0xbaaee17fa23ebf76ull, -1193 }, // 1e-340
    { 0x8b16fb203055ac76ull, -1166 }, // 1e-332
    { 0xcf42894a5dce35eaull, -1140 }, // 1e-324
    { 0x9a6bb0aa55653b2dull, -1113 }, // 1e-316
    { 0xe61acf033d1a45dfull, -1087 }, // 1e-308
    { 0xab70fe17c79ac6caull, -1060 }, // 1e-300
    { 0xff77b1fcbebcdc4full, -1034 }, // 1e-292
    { 0xbe5691ef416bd60cull, -1007 }, // 1e-284
    { 0x8dd01fad907ffc3cull, -980 },  // 1e-276
    { 0xd3515c2831559a83ull, -954 },  // 1e-268
    { 0x9d71ac8fada6c9b5ull, -927 },  // 1e-260
    { 0xea9c227723ee8bcbull, -901 },  // 1e-252
    { 0xaecc49914078536dull, -874 },  // 1e-244
    { 0x823c12795db6ce57ull, -847 },  // 1e-236
    { 0xc21094364dfb5637ull, -821 },  // 1e-228
    { 0x9096ea6f3848984full, -794 },  // 1e-220
    { 0xd77485cb25823ac7ull, -768 },  // 1e-212
    { 0xa086cfcd97bf97f4ull, -741 },  // 1e-204
    { 0xef340a98172aace5ull, -715 },  // 1e-196
    { 0xb23867fb2a35b28eull, -688 },  // 1e-188
    { 0x84c8d4dfd2c63f3bull, -661 },  // 1e-180
    { 0xc5dd44271ad3cdbaull, -635 },  // 1e-172
    { 0x936b9fcebb25c996ull, -608 },  // 1e-164
    { 0xdbac6c247d62a584ull, -582 },  // 1e-156
    { 0xa3ab66580d5fdaf6ull, -555 },  // 1e-148
    { 0xf3e2f893dec3f126ull, -529 },  // 1e-140
    { 0xb5b5ada8aaff80b8ull, -502 },  // 1e-132
    { 0x87625f056c7c4a8bull, -475 },  // 1e-124
    { 0xc9bcff6034c13053ull, -449 },  // 1e-116
    { 0x964e858c91ba2655ull, -422 },  // 1e-108
    { 0xdff9772470297ebdull, -396 },  // 1e-100
    { 0xa6dfbd9fb8e5b88full, -369 },  // 1e-92
    { 0xf8a95fcf88747d94ull, -343 },  // 1e-84
    { 0xb94470938fa89bcfull, -316 },  // 1e-76
    { 0x8a08f0f8bf0f156bull, -289 },  // 1e-68
    { 0xcdb02555653131b6ull, -263 },  // 1e-60
    { 0x993fe2c6d07b7facull, -236 },  // 1e-52
    { 0xe45c10c42a2b3b06ull, -210 },  // 1e-44
    { 0xaa242499697392d3ull, -183 },  // 1e-36
    { 0xfd87b5f28300ca0eull, -157 },  // 1e-28
    { 0xbce5086492111aebull, -130 },  // 1e-20
    { 0x8cbccc096f5088ccull, -103 },  // 1e-12
    { 0xd1b71758e219652cull, -77 },   // 1e-4
    { 0x9c40000000000000ull, -50 },   // 1e4
    { 0xe8d4a51000000000ull, -24 },   // 1e12
    { 0xad78ebc5ac620000ull, 3 },     // 1e20
    { 0x813f3978f8940984ull, 30 },    // 1e28
    { 0xc097ce7bc90715b3ull, 56 },    // 1e36
    { 0x8f7e32ce7bea5c70ull, 83 },    // 1e44
    { 0xd5d238a4abe98068ull, 109 },   // 1e52
    { 0x9f4f2726179a2245ull, 136 },   // 1e60
    { 0xed63a231d4c4fb27ull, 162 },   // 1e68
    { 0xb0de65388cc8ada8ull, 189 },   // 1e76
    { 0x83c7088e1aab65dbull, 216 },   // 1e84
    { 0xc45d1df942711d9aull, 242 },   // 1e92
    { 0x924d692ca61be758ull, 269 },   // 1e100
    { 0xda01ee641a708deaull, 295 },   // 1e108
    { 0xa26da3999aef774aull, 322 },   // 1e116
    { 0xf209787bb47d6b85ull, 348 },   // 1e124
    { 0xb454e4a179dd1877ull, 375 },   // 1e132
    { 0x865b86925b9bc5c2ull, 402 },   // 1e140
    { 0xc83553c5c8965d3dull, 428 },   // 1e148
    { 0x952ab45cfa97a0b3ull, 455 },   // 1e156
    { 0xde469fbd99a05fe3ull, 481 },   // 1e164
    { 0xa59bc234db398c25ull, 508 },   // 1e172
    { 0xf6c69a72a3989f5cull, 534 },   // 1e180
    { 0xb7dcbf5354e9beceull, 561 },   // 1e188
    { 0x88fcf317f22241e2ull, 588 },   // 1e196
    { 0xcc20ce9bd35c78a5ull, 614 },   // 1e204
    { 0x98165af37b2153dfull, 641 },   // 1e212
    { 0xe2a0b5dc971f303aull, 667 },   // 1e220
    { 0xa8d9d1535ce3b396ull, 694 },   // 1e228
    { 0xfb9b7cd9a4a7443cull, 720 },   // 1e236
    { 0xbb764c4ca7a44410ull, 747 },   // 1e244
    { 0x8bab8eefb6409c1aull, 774 },   // 1e252
    { 0xd01fef10a657842cull, 800 },   // 1e260
    { 0x9b10a4e5e9913129ull, 827 },   // 1e268
    { 0xe7109bfba19c0c9dull, 853 },   // 1e276
    { 0xac2820d9623bf429ull, 880 },   // 1e284
    { 0x80444b5e7aa7cf85ull, 907 },   // 1e292
    { 0xbf21e44003acdd2dull, 933 },   // 1e300
    { 0x8e679c2f5e44ff8full, 960 },   // 1e308
    { 0xd433179d9c8cb841ull, 986 },   // 1e316
    { 0x9e19db92b4e31ba9ull, 1013 },  // 1e324
    { 0xeb96bf6ebadf77d9ull, 1039 },  // 1e332
    { 0xaf87023b9bf0ee6bull, 1066 },  // 1e340
};

constexpr uint32_t powersOfTen[] = {
    1u, 10u, 100u, 1000u, 10000u, 100000u, 1000000u, 10000000u, 100000000u, 1000000000u
};

constexpr uint64_t hiddenBit = 1ull << 52;
constexpr uint64_t mantissaMask = hiddenBit - 1;

int countLeadingZeros (uint64_t n) noexcept
{
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_clzll (n);
#else
    int count = 0;

    for (uint64_t bit = 1ull << 63; (n & bit) == 0; bit >>= 1)
        ++count;

    return count;
#endif
}

// The high half of the 128-bit product, rounded by the top bit of the low half.
MantissaAndExponent multiply (MantissaAndExponent a, MantissaAndExponent b) noexcept
{
#if defined(__SIZEOF_INT128__)
    __extension__ typedef unsigned __int128 Product;
    auto product = static_cast<Product> (a.mantissa) * b.mantissa;
    auto high = static_cast<uint64_t> (product >> 64);
    auto low = static_cast<uint64_t> (product);
#else
    constexpr uint64_t lowWord = 0xffffffffull;
    uint64_t a0 = a.mantissa & lowWord, a1 = a.mantissa >> 32;
    uint64_t b0 = b.mantissa & lowWord, b1 = b.mantissa >> 32;
    uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    uint64_t middle = (p00 >> 32) + (p01 & lowWord) + (p10 & lowWord);
    uint64_t high = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
    uint64_t low = (middle << 32) | (p00 & lowWord);
#endif

    return { high + (low >> 63), a.exponent + b.exponent + 64 };
}

MantissaAndExponent normalise (MantissaAndExponent v) noexcept
{
    auto shift = countLeadingZeros (v.mantissa);
    return { v.mantissa << shift, v.exponent - shift };
}

int countDecimalDigits (uint32_t n) noexcept
{
    if (n < 10000)
        return n < 100 ? (n < 10 ? 1 : 2) : (n < 1000 ? 3 : 4);

    if (n < 100000000)
        return n < 1000000 ? (n < 100000 ? 5 : 6) : (n < 10000000 ? 7 : 8);

    return n < 1000000000 ? 9 : 10;
}

// Moves the last digit down while that brings the number closer to the exact
// value and keeps it inside the rounding interval.
void weedDigit (char* buffer, int length, uint64_t delta, uint64_t rest, uint64_t unit, uint64_t distance) noexcept
{
    while (rest < distance && delta - rest >= unit
           && (rest + unit < distance || distance - rest > rest + unit - distance))
    {
        --buffer[length - 1];
        rest += unit;
    }
}

constexpr char digitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                              "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                              "8081828384858687888990919293949596979899";

// Writes the count decimal digits of n, which has no more than that many.
void writeDigits (char* buffer, uint32_t n, int count) noexcept
{
    auto end = buffer + count;

    while (n >= 100)
    {
        auto pair = (n % 100) * 2;
        n /= 100;
        end -= 2;
        end[0] = digitPairs[pair];
        end[1] = digitPairs[pair + 1];
    }

    if (n >= 10)
    {
        end -= 2;
        end[0] = digitPairs[n * 2];
        end[1] = digitPairs[n * 2 + 1];
    }
    else
    {
        end[-1] = static_cast<char> ('0' + n);
    }
}

// Takes the leading decimal digit off the integral part, which has kappa digits.
uint32_t takeLeadingDigit (uint32_t& integral, int kappa) noexcept
{
    uint32_t digit;

    // Constant divisors let the compiler avoid a division instruction. The
    // table keeps its columns.
    // clang-format off
    switch (kappa)
    {
        case 10: digit = integral / 1000000000u; integral %= 1000000000u; break;
        case 9:  digit = integral / 100000000u;  integral %= 100000000u;  break;
        case 8:  digit = integral / 10000000u;   integral %= 10000000u;   break;
        case 7:  digit = integral / 1000000u;    integral %= 1000000u;    break;
        case 6:  digit = integral / 100000u;     integral %= 100000u;     break;
        case 5:  digit = integral / 10000u;      integral %= 10000u;      break;
        case 4:  digit = integral / 1000u;       integral %= 1000u;       break;
        case 3:  digit = integral / 100u;        integral %= 100u;        break;
        case 2:  digit = integral / 10u;         integral %= 10u;         break;
        default: digit = integral;               integral = 0;            break;
    }
    // clang-format on

    return digit;
}

// ceil (x * log10 (2)) without floating point, for |x| up to 1300 (which holds
// every binary exponent of a double): 315653 / 2^20 is log10 (2) closely enough
// that the floor is exact there, and x * log10 (2) is an integer only for x = 0.
int ceilLog10OfPowerOfTwo (int x) noexcept
{
    return x == 0 ? 0 : ((x * 315653) >> 20) + 1;
}

// The shortest digits of the scaled value into buffer; returns their count
// and adds to decimalExponent so that digits x 10^decimalExponent is the value.
int generateDigits (MantissaAndExponent upper, uint64_t distance, uint64_t delta, char* buffer,
                    int& decimalExponent) noexcept
{
    auto shift = -upper.exponent;
    auto one = 1ull << shift;
    auto integral = static_cast<uint32_t> (upper.mantissa >> shift);
    auto fraction = upper.mantissa & (one - 1);
    auto kappa = countDecimalDigits (integral);
    int length = 0;

    // While the fraction alone is above delta no integral digit can end the
    // digits, so all of them are written in one go.
    if (fraction > delta)
    {
        writeDigits (buffer, integral, kappa);
        length = kappa;
        kappa = 0;
    }

    while (kappa > 0)
    {
        auto digit = takeLeadingDigit (integral, kappa);

        if (length != 0 || digit != 0)
            buffer[length++] = static_cast<char> ('0' + digit);

        --kappa;
        auto rest = (static_cast<uint64_t> (integral) << shift) + fraction;

        if (rest <= delta)
        {
            decimalExponent += kappa;
            weedDigit (buffer, length, delta, rest, static_cast<uint64_t> (powersOfTen[kappa]) << shift, distance);
            return length;
        }
    }

    for (;;)
    {
        fraction *= 10;
        delta *= 10;
        auto digit = static_cast<char> (fraction >> shift);

        if (length != 0 || digit != 0)
            buffer[length++] = static_cast<char> ('0' + digit);

        fraction &= one - 1;
        --kappa;

        if (fraction < delta)
        {
            decimalExponent += kappa;

            // Past nine places the scaled distance would overflow, so the
            // last digit stays as generated.
            auto places = -kappa;
            weedDigit (buffer, length, delta, fraction, one, places < 9 ? distance * powersOfTen[places] : 0);
            return length;
        }
    }
}

// Grisu2: the digits of a finite, non-zero, positive double's bits.
int writeShortestDigits (uint64_t bits, char* buffer, int& decimalExponent) noexcept
{
    auto storedExponent = static_cast<int32_t> (bits >> 52);
    auto storedMantissa = bits & mantissaMask;

    MantissaAndExponent v = storedExponent != 0
                              ? MantissaAndExponent { storedMantissa + hiddenBit, storedExponent - 1075 }
                              : MantissaAndExponent { storedMantissa, -1074 };

    auto upper = normalise ({ (v.mantissa << 1) + 1, v.exponent - 1 });
    MantissaAndExponent lower = v.mantissa == hiddenBit ? MantissaAndExponent { (v.mantissa << 2) - 1, v.exponent - 2 }
                                                        : MantissaAndExponent { (v.mantissa << 1) - 1, v.exponent - 1 };
    lower.mantissa <<= lower.exponent - upper.exponent;
    lower.exponent = upper.exponent;

    auto k = ceilLog10OfPowerOfTwo (-61 - upper.exponent) + 347;

    auto index = (k >> 3) + 1;
    decimalExponent = 348 - 8 * index;
    MantissaAndExponent power { cachedPowersOfTen[index].mantissa, cachedPowersOfTen[index].exponent };

    auto scaled = multiply (normalise (v), power);
    auto scaledUpper = multiply (upper, power);
    auto scaledLower = multiply (lower, power);
    --scaledUpper.mantissa;
    ++scaledLower.mantissa;

    return generateDigits (scaledUpper, scaledUpper.mantissa - scaled.mantissa,
                           scaledUpper.mantissa - scaledLower.mantissa, buffer, decimalExponent);
}

char* writeText (char* buffer, const char* text, std::size_t length) noexcept
{
    std::memcpy (buffer, text, length);
    return buffer + length;
}

// Cuts the digits after the point to keep of them, then drops trailing zeros
// while one digit remains.
char* trimFraction (char* fraction, int keep) noexcept
{
    if (keep <= 0)
    {
        fraction[0] = '0';
        return fraction + 1;
    }

    auto end = fraction + keep;

    while (end > fraction + 1 && end[-1] == '0')
        --end;

    return end;
}

uint64_t loadWord (const char* source) noexcept
{
    uint64_t word;
    std::memcpy (&word, source, sizeof (word));
    return word;
}

void storeWord (char* target, uint64_t word) noexcept
{
    std::memcpy (target, &word, sizeof (word));
}

// Moves count characters, at most 24, one place to the left. A library call
// would cost more than these few words, which are all read before any is
// written (the parts overlap whenever count is not a multiple of 8).
void moveLeftByOne (char* buffer, int count) noexcept
{
    if (count >= 8)
    {
        auto first = loadWord (buffer + 1);
        auto middle = loadWord (buffer + 1 + (count > 16 ? 8 : 0));
        auto last = loadWord (buffer + 1 + count - 8);
        storeWord (buffer, first);
        storeWord (buffer + (count > 16 ? 8 : 0), middle);
        storeWord (buffer + count - 8, last);
        return;
    }

    while (count-- > 0)
    {
        *buffer = buffer[1];
        ++buffer;
    }
}

// Writes an exponent of at most three digits, with "-" when negative.
char* writeShortInteger (char* buffer, int n) noexcept
{
    if (n < 0)
    {
        *buffer++ = '-';
        n = -n;
    }

    if (n >= 100)
    {
        *buffer++ = static_cast<char> ('0' + n / 100);
        n %= 100;
        *buffer++ = static_cast<char> ('0' + n / 10);
    }
    else if (n >= 10)
    {
        *buffer++ = static_cast<char> ('0' + n / 10);
    }

    *buffer++ = static_cast<char> ('0' + n % 10);
    return buffer;
}

// The layout of the digits, which the caller has put one place to the right,
// at buffer + 1: most layouts then move fewer of them, and the scientific one
// none but the first.
char* layOutDigits (char* buffer, int length, int decimalExponent, int maxDecimalPlaces) noexcept
{
    auto pointPosition = length + decimalExponent;

    if (pointPosition < -maxDecimalPlaces)
        return writeText (buffer, "0.0", 3);

    if (pointPosition > 0 && pointPosition <= 21)
    {
        if (decimalExponent >= 0)
        {
            moveLeftByOne (buffer, length);
            std::memset (buffer + length, '0', static_cast<std::size_t> (decimalExponent));
            return writeText (buffer + pointPosition, ".0", 2);
        }

        moveLeftByOne (buffer, pointPosition);
        buffer[pointPosition] = '.';

        if (length - pointPosition > maxDecimalPlaces)
            return trimFraction (buffer + pointPosition + 1, maxDecimalPlaces);

        return buffer + length + 1;
    }

    if (pointPosition > -6 && pointPosition <= 0)
    {
        auto leadingZeros = -pointPosition;
        std::memmove (buffer + 2 + leadingZeros, buffer + 1, static_cast<std::size_t> (length));
        buffer[0] = '0';
        buffer[1] = '.';
        std::memset (buffer + 2, '0', static_cast<std::size_t> (leadingZeros));
        auto fractionDigits = leadingZeros + length;
        return trimFraction (buffer + 2, fractionDigits < maxDecimalPlaces ? fractionDigits : maxDecimalPlaces);
    }

    buffer[0] = buffer[1];
    auto end = buffer + 1;

    if (length > 1)
    {
        buffer[1] = '.';
        end = trimFraction (buffer + 2, length - 1);
    }

    *end++ = 'e';
    return writeShortInteger (end, pointPosition - 1);
}

} // namespace

//==============================================================================
Buffer& Buffer::operator= (const FloatToStringBuffer& other) noexcept
{
    std::memcpy (storage, other.storage, sizeof (storage));
    end = storage + (other.end - other.storage);
    return *this;
}

char* Buffer::writeAndGetEnd (char* buffer, double value, int maxDecimalPlaces, bool omitPointForRoundNumbers) noexcept
{
    uint64_t bits;
    std::memcpy (&bits, &value, sizeof (bits));
    auto text = buffer;

    if ((bits >> 63) != 0)
    {
        *text++ = '-';
        bits &= ~(1ull << 63);
    }

    if (bits == 0)
        return writeText (text, "0.0", 3);

    if ((bits >> 52) == 0x7ff)
        return (bits & mantissaMask) != 0 ? writeText (text, "nan", 3) : writeText (text, "inf", 3);

    int decimalExponent = 0;
    auto length = writeShortestDigits (bits, text + 1, decimalExponent);
    auto end = layOutDigits (text, length, decimalExponent, maxDecimalPlaces < 0 ? 324 : maxDecimalPlaces);

    if (omitPointForRoundNumbers && end - buffer > 1 && end[-2] == '.' && end[-1] == '0')
        end -= 2;

    return end;
}

} // namespace tunewell::text
