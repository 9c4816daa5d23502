// Replays every kept fuzz input (the seed corpus and the inputs of crashes
// that were found and fixed) through the fuzz targets' own entry functions,
// so the normal suite keeps them fixed on every platform without clang. A
// broken promise aborts the program, which fails the test.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fuzz_targets.h"

namespace
{

namespace fs = std::filesystem;

std::vector<fs::path> inputsIn (const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;

    for (auto& entry : fs::directory_iterator (folder, error))
        if (entry.is_regular_file())
            files.push_back (entry.path());

    return files;
}

std::string contentsOf (const fs::path& file)
{
    std::ifstream stream (file, std::ios::binary);
    return { std::istreambuf_iterator<char> (stream), std::istreambuf_iterator<char>() };
}

class FuzzReplay : public testing::TestWithParam<tunewell::fuzzing::FuzzTarget>
{};

TEST_P (FuzzReplay, EveryKeptInputPassesItsTarget)
{
    const auto& target = GetParam();
    const fs::path root (TUNEWELL_FUZZ_FOLDER);
    auto inputs = inputsIn (root / "corpus" / target.name);
    const auto regressions = inputsIn (root / "regressions" / target.name);
    inputs.insert (inputs.end(), regressions.begin(), regressions.end());

    ASSERT_FALSE (inputs.empty()) << "no inputs for " << target.name << " under " << root.string();

    for (auto& input : inputs)
    {
        // Printed first, because a failure ends the program before gtest can say which.
        std::fprintf (stderr, "replaying %s\n", input.string().c_str());
        const auto bytes = contentsOf (input);
        EXPECT_EQ (target.entry (reinterpret_cast<const std::uint8_t*> (bytes.data()), bytes.size()), 0)
            << input.string();
    }
}

INSTANTIATE_TEST_SUITE_P (AllTargets, FuzzReplay, testing::ValuesIn (tunewell::fuzzing::fuzzTargets),
                          [] (const auto& info) { return std::string (info.param.name); });

} // namespace
