#include "process_resources.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <unistd.h>

namespace tunewell::testrig
{

namespace
{

int countMappedFiles()
{
    std::ifstream maps ("/proc/self/maps");
    std::set<std::string> files;

    for (std::string line; std::getline (maps, line);)
        if (auto path = line.find ('/'); path != std::string::npos)
            files.insert (line.substr (path));

    return static_cast<int> (files.size());
}

int countOpenDescriptors()
{
    std::error_code error;
    int count = 0;

    for (auto it = std::filesystem::directory_iterator ("/proc/self/fd", error);
         ! error && it != std::filesystem::directory_iterator(); it.increment (error))
        ++count;

    return count;
}

} // namespace

// Natively the library has no windows; modules are counted as mapped files.
ProcessResources currentProcessResources()
{
    long long totalPages = 0, residentPages = 0;
    std::ifstream ("/proc/self/statm") >> totalPages >> residentPages;
    return { 0, countMappedFiles(), countOpenDescriptors(), residentPages * sysconf (_SC_PAGESIZE) };
}

void runWithTheShowingClosedAtOnce (void (*event) (int), int argument)
{
    event (argument);
}

} // namespace tunewell::testrig
