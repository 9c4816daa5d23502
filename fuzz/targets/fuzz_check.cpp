#include "fuzz_check.h"

#include <cstdio>
#include <cstdlib>

namespace tunewell::fuzzing
{

void failFuzzCheck (const char* target, const std::string& what)
{
    std::fprintf (stderr, "fuzz target %s: %s\n", target, what.c_str());
    std::fflush (stderr);
    std::abort();
}

} // namespace tunewell::fuzzing
