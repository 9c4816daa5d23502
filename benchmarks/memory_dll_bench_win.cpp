// Maps a DLL of about the browser loader's size from memory with MemoryDLL
// and loads the same file with LoadLibrary, many times each, and prints the
// median of both and their ratio. Run it under Wine through tools/bench.sh.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "loader/memory_dll.h"

namespace
{
using Clock = std::chrono::steady_clock;
using ChecksumFunction = unsigned (*)();

constexpr int runs = 301;

double microsecondsSince (Clock::time_point start)
{
    return std::chrono::duration<double, std::micro> (Clock::now() - start).count();
}

double median (std::vector<double> values)
{
    std::sort (values.begin(), values.end());
    return values[values.size() / 2];
}

std::string imageBeside (const char* program)
{
    std::string path (program);
    auto slash = path.find_last_of ("\\/");
    return (slash == std::string::npos ? std::string() : path.substr (0, slash + 1)) + "tw_bench_image.dll";
}

/// One mapping from memory, with the lookup and the call that the loader
/// module's user makes; 0 when the image could not be mapped.
unsigned mapFromMemory (const std::vector<char>& image)
{
    tunewell::memory::MemoryDLL dll (image.data(), image.size());
    auto checksum = reinterpret_cast<ChecksumFunction> (dll.lookupFunction ("benchImageChecksum"));
    return checksum != nullptr ? checksum() : 0;
}

unsigned loadFromFile (const std::string& path)
{
    auto module = LoadLibraryA (path.c_str());

    if (module == nullptr)
        return 0;

    auto checksum = reinterpret_cast<ChecksumFunction> (
        reinterpret_cast<void*> (GetProcAddress (module, "benchImageChecksum")));
    auto result = checksum != nullptr ? checksum() : 0;
    FreeLibrary (module);
    return result;
}
} // namespace

int main (int, char** argv)
{
    auto path = imageBeside (argv[0]);
    std::ifstream file (path, std::ios::binary);
    std::vector<char> image ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char>());

    if (image.empty())
    {
        std::fprintf (stderr, "Cannot read %s\n", path.c_str());
        return 2;
    }

    auto expected = loadFromFile (path);

    if (expected == 0 || mapFromMemory (image) != expected)
    {
        std::fprintf (stderr, "The image mapped from memory does not answer as the loaded file does\n");
        return 1;
    }

    std::vector<double> fromMemory, fromFile;

    // Alternating keeps slow phases of the machine from favouring either.
    for (int run = 0; run < runs; ++run)
    {
        auto start = Clock::now();
        auto mapped = mapFromMemory (image);
        fromMemory.push_back (microsecondsSince (start));

        start = Clock::now();
        auto loaded = loadFromFile (path);
        fromFile.push_back (microsecondsSince (start));

        if (mapped != expected || loaded != expected)
        {
            std::fprintf (stderr, "Run %d gave a different answer\n", run);
            return 1;
        }
    }

    auto memoryMedian = median (fromMemory), fileMedian = median (fromFile);
    auto ratio = memoryMedian / fileMedian;
    std::printf ("\n%-28s %10s %10s\n", "mapping a DLL image", "median", "bytes");
    std::printf ("%-28s %7.1f us %10zu\n", "MemoryDLL from memory", memoryMedian, image.size());
    std::printf ("%-28s %7.1f us %10zu\n", "LoadLibrary of the file", fileMedian, image.size());
    std::printf ("ratio %.2fx of LoadLibrary's time over %d runs each; goal <= 2.00x: %s\n", ratio, runs,
                 ratio <= 2.0 ? "met" : "MISSED");
    return 0;
}
