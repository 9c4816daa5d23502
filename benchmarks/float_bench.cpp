// Double to shortest text: tunewell's formatter against std::to_chars and
// snprintf on the same doubles.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "float_bench.h"
#include "text/float_to_string.h"

namespace tunewell::bench
{

namespace
{
constexpr std::size_t valueCount = 1 << 16;

std::vector<double> makeRandomBitPatterns()
{
    std::mt19937_64 random (20240611);
    std::vector<double> values;

    while (values.size() < valueCount)
    {
        uint64_t bits = random();
        double d;
        std::memcpy (&d, &bits, sizeof (d));

        if (std::isfinite (d))
            values.push_back (d);
    }

    return values;
}

// Numbers as a song list or a settings file carries them: up to six
// significant digits and up to four decimal places.
std::vector<double> makeShortDecimals()
{
    std::mt19937_64 random (777);
    std::uniform_int_distribution<int> digits (1, 999999), places (0, 4);
    std::vector<double> values;

    while (values.size() < valueCount)
        values.push_back (digits (random) / std::pow (10.0, places (random)));

    return values;
}

const std::vector<double>& randomBitPatterns()
{
    static const auto values = makeRandomBitPatterns();
    return values;
}

const std::vector<double>& shortDecimals()
{
    static const auto values = makeShortDecimals();
    return values;
}

std::size_t formatTunewell (char* buffer, double d)
{
    return static_cast<std::size_t> (text::FloatToStringBuffer<double>::writeAndGetEnd (buffer, d, -1, false) - buffer);
}

std::size_t formatToChars (char* buffer, double d)
{
    return static_cast<std::size_t> (std::to_chars (buffer, buffer + 64, d).ptr - buffer);
}

std::size_t formatSnprintf (char* buffer, double d)
{
    return static_cast<std::size_t> (std::snprintf (buffer, 64, "%.17g", d));
}

template <std::size_t (*format) (char*, double)>
void formatDoubles (benchmark::State& state, const std::vector<double>& values)
{
    char buffer[64];
    std::size_t index = 0, characters = 0;

    for (auto _ : state)
    {
        characters += format (buffer, values[index]);
        index = (index + 1) & (valueCount - 1);
        benchmark::DoNotOptimize (buffer);
    }

    benchmark::DoNotOptimize (characters);
    state.SetItemsProcessed (state.iterations());
}

std::size_t countRoundTripFailures (const std::vector<double>& values, const char* title)
{
    std::size_t failures = 0;

    for (auto d : values)
    {
        char buffer[64];
        buffer[formatTunewell (buffer, d)] = 0;
        auto readBack = std::strtod (buffer, nullptr);

        if (std::memcmp (&readBack, &d, sizeof (d)) != 0)
        {
            if (failures++ < 5)
                std::fprintf (stderr, "%s: %.17g was written as %s\n", title, d, buffer);
        }
    }

    return failures;
}
} // namespace

bool formatterOutputsReadBack()
{
    auto failures = countRoundTripFailures (randomBitPatterns(), "random bit patterns")
                  + countRoundTripFailures (shortDecimals(), "short decimals");
    std::printf ("double to text: %zu doubles checked, %zu did not read back identically\n", 2 * valueCount, failures);
    return failures == 0;
}

void registerFloatBenchmarks()
{
    struct Input
    {
        const char* name;
        const std::vector<double>& (*values)();
    };
    const Input inputs[] = { { "random_bits", randomBitPatterns }, { "short_decimals", shortDecimals } };

    for (auto& input : inputs)
    {
        auto values = input.values;
        auto name = std::string ("double/") + input.name + "/";
        benchmark::RegisterBenchmark ((name + "tunewell").c_str(),
                                      [values] (benchmark::State& s) { formatDoubles<formatTunewell> (s, values()); });
        benchmark::RegisterBenchmark ((name + "to_chars").c_str(),
                                      [values] (benchmark::State& s) { formatDoubles<formatToChars> (s, values()); });
        benchmark::RegisterBenchmark ((name + "snprintf").c_str(),
                                      [values] (benchmark::State& s) { formatDoubles<formatSnprintf> (s, values()); });
    }
}

} // namespace tunewell::bench
