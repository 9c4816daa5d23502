#pragma once

namespace tunewell::bench
{

/// Writes each parsed document and has RapidJSON read the text back;
/// prints the sizes and whether each text is valid JSON.
bool writtenDocumentsAreJSON();

void registerJSONBenchmarks();

} // namespace tunewell::bench
