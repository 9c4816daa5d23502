#pragma once

#include <string>

namespace tunewell::bench
{

/// The text of one of the shared benchmark documents (canada.json,
/// citm_catalog.json, twitter.json). They are read from the folder in
/// TUNEWELL_BENCH_DATA when set, else from shared/bench-data beside the
/// repository. Exits the program with a message when the file is missing,
/// since every figure after it would be meaningless.
const std::string& benchDocument (const std::string& fileName);

} // namespace tunewell::bench
