#include "summary_reporter.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <tuple>

namespace tunewell::bench
{

namespace
{
double toNanoseconds (double time, benchmark::TimeUnit unit)
{
    switch (unit)
    {
        case benchmark::kSecond:
            return time * 1e9;
        case benchmark::kMillisecond:
            return time * 1e6;
        case benchmark::kMicrosecond:
            return time * 1e3;
        default:
            return time;
    }
}

struct NameParts
{
    std::string figure, testCase, implementation;
};

/// "figure/case/implementation", where the case may itself hold slashes.
bool splitName (const std::string& name, NameParts& parts)
{
    auto first = name.find ('/');
    auto last = name.rfind ('/');

    if (first == std::string::npos || first == last)
        return false;

    parts = { name.substr (0, first), name.substr (first + 1, last - first - 1), name.substr (last + 1) };
    return true;
}

std::string readableTime (double ns)
{
    char text[32];

    if (ns < 1e3)
        std::snprintf (text, sizeof (text), "%.1f ns", ns);
    else if (ns < 1e6)
        std::snprintf (text, sizeof (text), "%.2f us", ns / 1e3);
    else if (ns < 1e9)
        std::snprintf (text, sizeof (text), "%.2f ms", ns / 1e6);
    else
        std::snprintf (text, sizeof (text), "%.2f s", ns / 1e9);

    return text;
}

const RatioGoal* findGoal (const std::vector<RatioGoal>& goals, const std::string& figure, const std::string& testCase,
                           const std::string& peer)
{
    for (auto& goal : goals)
        if (goal.figure == figure && (goal.testCase.empty() || goal.testCase == testCase) && goal.peer == peer)
            return &goal;

    return nullptr;
}

std::string describeGoal (double maximumRatio)
{
    char text[48];

    // A limit below one reads better as "n times faster".
    if (maximumRatio < 1.0)
        std::snprintf (text, sizeof (text), ">= %.1fx faster", 1.0 / maximumRatio);
    else
        std::snprintf (text, sizeof (text), "<= %.2fx the time", maximumRatio);

    return text;
}
} // namespace

void SummaryReporter::ReportRuns (const std::vector<Run>& runs)
{
    std::vector<Run> shown;

    for (auto& run : runs)
    {
        if (run.run_type == Run::RT_Aggregate || run.repetitions <= 1)
            shown.push_back (run);

        // CPU time: on a shared machine, time spent descheduled says
        // nothing about the code.
        if (! run.error_occurred && run.run_type != Run::RT_Aggregate)
            repetitions[run.run_name.str()].push_back (toNanoseconds (run.GetAdjustedCPUTime(), run.time_unit));
    }

    if (! shown.empty())
        ConsoleReporter::ReportRuns (shown);
}

std::map<std::string, double> SummaryReporter::timings() const
{
    std::map<std::string, double> fastest;

    for (auto& [name, times] : repetitions)
        fastest[name] = *std::min_element (times.begin(), times.end());

    return fastest;
}

void SummaryReporter::printNoise() const
{
    std::vector<double> spreads;
    std::string widestName;
    double widest = -1.0;
    std::size_t runCount = 0;

    for (auto& [name, times] : repetitions)
    {
        auto [fastest, slowest] = std::minmax_element (times.begin(), times.end());
        spreads.push_back (*slowest / *fastest - 1.0);
        runCount = std::max (runCount, times.size());

        if (spreads.back() > widest)
        {
            widest = spreads.back();
            widestName = name;
        }
    }

    if (runCount < 2)
        return;

    std::sort (spreads.begin(), spreads.end());
    std::printf ("\nnoise: each figure is the fastest of %zu interleaved runs; the slowest run of a benchmark was "
                 "%.0f%% slower than its fastest in the median, %.0f%% at most (%s)\n",
                 runCount, 100.0 * spreads[spreads.size() / 2], 100.0 * spreads.back(), widestName.c_str());
}

void printComparisonTable (const std::map<std::string, double>& timings, const std::vector<RatioGoal>& goals)
{
    std::map<std::pair<std::string, std::string>, std::map<std::string, double>> figures;
    std::vector<std::pair<std::string, std::string>> order;

    for (auto& [name, ns] : timings)
    {
        NameParts parts;

        if (! splitName (name, parts) || parts.figure == "songs" || parts.figure == "bridge")
            continue;

        auto key = std::make_pair (parts.figure, parts.testCase);

        if (figures.find (key) == figures.end())
            order.push_back (key);

        figures[key][parts.implementation] = ns;
    }

    std::printf ("\n%-8s %-22s %12s  %-12s %12s %9s  %-20s %s\n", "figure", "case", "tunewell", "peer", "peer time",
                 "ratio", "goal", "verdict");

    int missed = 0;

    for (auto& key : order)
    {
        auto& implementations = figures[key];
        auto own = implementations.find ("tunewell");

        if (own == implementations.end())
            continue;

        for (auto& [peer, peerNs] : implementations)
        {
            if (peer == "tunewell")
                continue;

            auto ratio = own->second / peerNs;
            auto* goal = findGoal (goals, key.first, key.second, peer);
            std::string verdict = goal == nullptr ? "" : (ratio <= goal->maximumRatio ? "met" : "MISSED");
            missed += verdict == "MISSED" ? 1 : 0;

            std::printf ("%-8s %-22s %12s  %-12s %12s %8.2fx  %-20s %s\n", key.first.c_str(), key.second.c_str(),
                         readableTime (own->second).c_str(), peer.c_str(), readableTime (peerNs).c_str(), ratio,
                         goal != nullptr ? describeGoal (goal->maximumRatio).c_str() : "", verdict.c_str());
        }
    }

    std::printf ("ratio = tunewell's time / the peer's time (below 1: tunewell is faster); %d goal%s missed\n", missed,
                 missed == 1 ? "" : "s");
}

void printSongListTable (const std::map<std::string, double>& timings, double largestListLimitMilliseconds)
{
    // songs/<operation>/<count>
    std::map<std::string, std::map<int, double>> operations;

    for (auto& [name, ns] : timings)
    {
        NameParts parts;

        if (splitName (name, parts) && parts.figure == "songs")
            operations[parts.testCase][std::stoi (parts.implementation)] = ns;
    }

    if (operations.empty())
        return;

    std::printf ("\n%-24s %8s %12s %12s %16s  %s\n", "song list", "songs", "per list", "per song", "vs smaller list",
                 "verdict");

    for (auto& [operation, sizes] : operations)
    {
        double previousPerSong = 0;

        for (auto& [count, ns] : sizes)
        {
            auto perSong = ns / count;
            char growth[24] = "";

            if (previousPerSong > 0)
                std::snprintf (growth, sizeof (growth), "%.2fx", perSong / previousPerSong);

            std::string verdict;

            if (count == sizes.rbegin()->first)
                verdict = ns / 1e6 < largestListLimitMilliseconds ? "met (under 10 ms)" : "MISSED (10 ms)";

            std::printf ("%-24s %8d %12s %12s %16s  %s\n", operation.c_str(), count, readableTime (ns).c_str(),
                         readableTime (perSong).c_str(), growth, verdict.c_str());
            previousPerSong = perSong;
        }
    }

    std::printf ("linear growth shows as a time per song that stays roughly the same\n");
}

void printBridgeTable (const std::map<std::string, double>& timings)
{
    for (auto& [name, ns] : timings)
    {
        NameParts parts;

        if (splitName (name, parts) && parts.figure == "bridge")
            std::printf ("\nbridge %s: %s per call, %.0f calls per second\n", parts.testCase.c_str(),
                         readableTime (ns).c_str(), 1e9 / ns);
    }
}

} // namespace tunewell::bench
