#pragma once

// Prints the benchmarks as usual, then the ratios the engine is held to (each a pair of
// benchmarks of the same run, compared by their medians over the repetitions) and the
// times it is held to.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace Palettra::Bench {

struct Ratio
{
    std::string label;
    std::string numerator;   // function name, "/" and arguments, as in "BM_Paint/1000"
    std::string denominator;
    std::string counter;     // empty: real time per iteration; else that counter
    double goal = 0.0;       // the ratio must stay at or below it; 0: no goal
};

// A benchmark held to a time of its own: the median real time per iteration, at most
// `milliseconds`; 0: printed as information, no goal.
struct TimeLimit
{
    std::string label;
    std::string benchmark;
    double milliseconds = 0.0;
};

// A counter of a benchmark held to a ceiling: its median at most `ceiling`.
struct CounterLimit
{
    std::string label;
    std::string benchmark;
    std::string counter;
    double ceiling = 0.0;
    std::string unit;
};

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter(std::vector<Ratio> ratios, std::vector<TimeLimit> limits = {}, std::vector<CounterLimit> counterLimits = {});

    void ReportRuns(const std::vector<Run> &reports) override;
    void Finalize() override;

    // The median of what was recorded for a benchmark; 0 when it did not run.
    double median(const std::string &benchmark, const std::string &counter) const;

private:
    std::vector<Ratio> m_ratios;
    std::vector<TimeLimit> m_limits;
    std::vector<CounterLimit> m_counterLimits;
    // Seconds per iteration (counter "") or counter values, per benchmark and counter.
    std::map<std::string, std::map<std::string, std::vector<double>>> m_values;
};

} // namespace Palettra::Bench
