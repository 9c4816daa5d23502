#pragma once

namespace tunewell::bench
{

/// Checks that every benchmarked double reads back from its text as the
/// same bits; prints the count and the first failures.
bool formatterOutputsReadBack();

void registerFloatBenchmarks();

} // namespace tunewell::bench
