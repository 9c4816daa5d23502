#pragma once

namespace tunewell::bench
{

void registerChooserBenchmarks();

} // namespace tunewell::bench
