// Compares the double formatter with the standard library's shortest
// formatting on the same random doubles and prints the time per number.

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "text/float_to_string.h"

namespace
{

template <typename Format>
double nanosecondsPerNumber (const std::vector<double>& values, Format&& format, std::size_t& checksum)
{
    auto start = std::chrono::steady_clock::now();

    for (int round = 0; round < 5; ++round)
        for (auto value : values)
            checksum += format (value);

    std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / (5.0 * static_cast<double> (values.size()));
}

std::vector<double> randomBitPatterns()
{
    std::mt19937_64 random (12345);
    std::vector<double> values;

    while (values.size() < 1000000)
    {
        uint64_t bits = random();
        double d;
        std::memcpy (&d, &bits, sizeof (d));

        if (std::isfinite (d))
            values.push_back (d);
    }

    return values;
}

// Numbers as JSON tends to carry them: a few digits, moderate magnitudes.
std::vector<double> everydayNumbers()
{
    std::mt19937_64 random (678);
    std::uniform_int_distribution<int> digits (0, 999999), scale (0, 6);
    std::vector<double> values;

    for (int i = 0; i < 1000000; ++i)
        values.push_back (digits (random) / std::pow (10.0, scale (random)));

    return values;
}

void compare (const char* title, const std::vector<double>& values)
{
    std::size_t checksum = 0;
    char buffer[64];

    auto grisu = nanosecondsPerNumber (values, [&] (double d)
    {
        return static_cast<std::size_t> (tunewell::text::FloatToStringBuffer<double>::writeAndGetEnd (buffer, d, -1, false) - buffer);
    }, checksum);

    auto standard = nanosecondsPerNumber (values, [&] (double d)
    {
        return static_cast<std::size_t> (std::to_chars (buffer, buffer + sizeof (buffer), d).ptr - buffer);
    }, checksum);

    std::printf ("%s\n", title);
    std::printf ("  FloatToStringBuffer: %.1f ns per double\n", grisu);
    std::printf ("  std::to_chars:       %.1f ns per double\n", standard);
    std::printf ("  ratio:               %.2f (checksum %zu)\n", grisu / standard, checksum);
}

} // namespace

int main()
{
    compare ("random bit patterns", randomBitPatterns());
    compare ("everyday numbers", everydayNumbers());
    return 0;
}
