#pragma once

#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace tunewell::bench
{

/// Shows Google Benchmark's usual console lines and keeps each run's time,
/// so that after the run the figures can be set side by side. Benchmarks
/// are named "figure/case/implementation", the implementation under test
/// being "tunewell". Figures are CPU time per iteration; with repetitions
/// the fastest repetition counts, being the one least disturbed by whatever
/// else the machine was doing, and the console shows only the aggregates.
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns (const std::vector<Run>& runs) override;

    /// Nanoseconds per iteration of each benchmark, by full name.
    std::map<std::string, double> timings() const;

    /// Says how far the repetitions of one benchmark spread, which is the
    /// machine's noise: the figures are only as exact as that.
    void printNoise() const;

private:
    std::map<std::string, std::vector<double>> repetitions;
};

/// A limit on tunewell's time divided by a peer's time in one figure; an
/// empty case applies to every case of the figure.
struct RatioGoal
{
    std::string figure;
    std::string testCase;
    std::string peer;
    double maximumRatio;
};

/// Prints, per figure and case, tunewell's time, each peer's time and the
/// ratio between them, with the verdict of every goal that applies.
void printComparisonTable (const std::map<std::string, double>& timings, const std::vector<RatioGoal>& goals);

/// Prints the song list figures: time per list, time per song, and how the
/// time per song changes from one size to the next.
void printSongListTable (const std::map<std::string, double>& timings, double largestListLimitMilliseconds);

/// Prints calls per second of the bridge figure.
void printBridgeTable (const std::map<std::string, double>& timings);

} // namespace tunewell::bench
