// libFuzzer's door into one target; the build names the target's entry
// function in TUNEWELL_FUZZ_ENTRY.

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    return tunewell::fuzzing::TUNEWELL_FUZZ_ENTRY (data, size);
}
