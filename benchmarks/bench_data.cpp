#include "bench_data.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace tunewell::bench
{

namespace
{
std::string dataFolder()
{
    if (auto* folder = std::getenv ("TUNEWELL_BENCH_DATA"); folder != nullptr && *folder != 0)
        return folder;

    return TUNEWELL_DEFAULT_BENCH_DATA;
}
} // namespace

const std::string& benchDocument (const std::string& fileName)
{
    // Read once: every benchmark of a document shares one copy of its text.
    static std::map<std::string, std::string> loaded;

    if (auto found = loaded.find (fileName); found != loaded.end())
        return found->second;

    auto path = dataFolder() + "/" + fileName;
    std::ifstream file (path, std::ios::binary);

    if (! file)
    {
        std::fprintf (stderr, "Cannot read benchmark document %s\n", path.c_str());
        std::exit (2);
    }

    std::ostringstream text;
    text << file.rdbuf();
    return loaded[fileName] = text.str();
}

} // namespace tunewell::bench
