#pragma once

// Entry functions of the fuzz targets. Each takes one input of any bytes and
// returns 0; a broken promise (a crash, a wrong round trip, an exception of
// a kind the code never throws) aborts the process with a message on
// stderr. libFuzzer calls them through a thin shim, and the normal test
// suite replays the kept inputs through the same functions.

#include <cstddef>
#include <cstdint>

namespace tunewell::fuzzing
{

using FuzzEntry = int (*) (const std::uint8_t* data, std::size_t size);

int fuzzJsonRoundTrip (const std::uint8_t* data, std::size_t size);
int fuzzBridgeDispatch (const std::uint8_t* data, std::size_t size);
int fuzzValueBuilding (const std::uint8_t* data, std::size_t size);
int fuzzHostUtilities (const std::uint8_t* data, std::size_t size);
int fuzzImageChecks (const std::uint8_t* data, std::size_t size);

struct FuzzTarget
{
    /// Also the folder name of its corpus and regression inputs.
    const char* name;
    FuzzEntry entry;
};

inline constexpr FuzzTarget fuzzTargets[] = {
    { "json_round_trip", fuzzJsonRoundTrip }, { "bridge_dispatch", fuzzBridgeDispatch },
    { "value_building", fuzzValueBuilding },  { "host_utilities", fuzzHostUtilities },
    { "image_checks", fuzzImageChecks },
};

} // namespace tunewell::fuzzing
