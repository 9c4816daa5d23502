// Runs every benchmark, then sets tunewell's figures beside its peers'.
// Figures are meaningful only from an optimised build (tools/bench.sh).

#include <cstdio>

#include <benchmark/benchmark.h>

#include "chooser_bench.h"
#include "float_bench.h"
#include "json_bench.h"
#include "summary_reporter.h"

using namespace tunewell::bench;

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    // Speed means nothing when the output is wrong.
    bool outputsCorrect = formatterOutputsReadBack();
    outputsCorrect = writtenDocumentsAreJSON() && outputsCorrect;

    registerFloatBenchmarks();
    registerJSONBenchmarks();
    registerChooserBenchmarks();

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    benchmark::Shutdown();

    const std::vector<RatioGoal> goals = {
        { "double", "random_bits", "to_chars", 1.2 },
        { "double", "random_bits", "snprintf", 1.0 / 8.0 },
        { "parse", "", "rapidjson", 2.0 },
        { "parse", "", "nlohmann", 1.0 / 2.5 },
        { "write", "", "rapidjson", 1.5 },
        { "write", "", "nlohmann", 1.0 / 3.0 },
    };

    printComparisonTable (reporter.timings(), goals);
    printBridgeTable (reporter.timings());
    printSongListTable (reporter.timings(), 10.0);
    reporter.printNoise();

    if (! outputsCorrect)
        std::printf ("\nSOME OUTPUTS WERE WRONG: see the checks at the start\n");

    return outputsCorrect ? 0 : 1;
}
