#include "RatioReporter.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace Palettra::Bench {

namespace {

double medianOf(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

} // namespace

RatioReporter::RatioReporter(std::vector<Ratio> ratios, std::vector<TimeLimit> limits, std::vector<CounterLimit> counterLimits)
    : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular)
    , m_ratios(std::move(ratios))
    , m_limits(std::move(limits))
    , m_counterLimits(std::move(counterLimits))
{
}

void RatioReporter::ReportRuns(const std::vector<Run> &reports)
{
    // With --benchmark_report_aggregates_only only the aggregates come here: their median
    // then stands for the runs.
    const bool onlyAggregates = std::none_of(reports.begin(), reports.end(),
                                             [](const Run &run) { return run.run_type == Run::RT_Iteration; });
    for (const Run &run : reports) {
        const bool counts = onlyAggregates ? run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"
                                           : run.run_type == Run::RT_Iteration;
        if (!counts || run.error_occurred || run.iterations == 0)
            continue;
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty())
            name += "/" + run.run_name.args;
        auto &values = m_values[name];
        values[""].push_back(run.real_accumulated_time / double(run.iterations));
        for (const auto &[counter, value] : run.counters)
            values[counter].push_back(value.value);
    }
    ConsoleReporter::ReportRuns(reports);
}

double RatioReporter::median(const std::string &benchmark, const std::string &counter) const
{
    const auto found = m_values.find(benchmark);
    if (found == m_values.end())
        return 0.0;
    const auto values = found->second.find(counter);
    return values == found->second.end() ? 0.0 : medianOf(values->second);
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    bool header = false;
    for (const Ratio &ratio : m_ratios) {
        const double numerator = median(ratio.numerator, ratio.counter);
        const double denominator = median(ratio.denominator, ratio.counter);
        if (numerator <= 0.0 || denominator <= 0.0)
            continue; // one of the pair was filtered out
        if (!header) {
            std::fprintf(stdout, "\nRatios (medians of the runs)\n");
            header = true;
        }
        const double value = numerator / denominator;
        std::fprintf(stdout, "%-48s %8.3f", ratio.label.c_str(), value);
        if (ratio.goal > 0.0)
            std::fprintf(stdout, "   goal <= %.2f  %s", ratio.goal, value <= ratio.goal ? "met" : "NOT MET");
        std::fprintf(stdout, "\n");
    }
    for (const TimeLimit &limit : m_limits) {
        const double seconds = median(limit.benchmark, "");
        if (seconds <= 0.0)
            continue;
        const double milliseconds = seconds * 1e3;
        std::fprintf(stdout, "%-48s %8.3f ms", limit.label.c_str(), milliseconds);
        if (limit.milliseconds > 0.0)
            std::fprintf(stdout, "   goal <= %.0f ms  %s", limit.milliseconds,
                         milliseconds <= limit.milliseconds ? "met" : "NOT MET");
        std::fprintf(stdout, "\n");
    }
    for (const CounterLimit &limit : m_counterLimits) {
        if (median(limit.benchmark, "") <= 0.0)
            continue;
        const double value = median(limit.benchmark, limit.counter);
        std::fprintf(stdout, "%-48s %8.1f %s   goal <= %.0f %s  %s\n", limit.label.c_str(), value, limit.unit.c_str(),
                     limit.ceiling, limit.unit.c_str(), value <= limit.ceiling ? "met" : "NOT MET");
    }
    std::fflush(stdout);
}

} // namespace Palettra::Bench
