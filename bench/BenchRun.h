#pragma once
// Runs the benchmarks chosen on the command line and tells whether each kept its bounds: a
// benchmark that stops with an error (a bound passed, a wrong result) makes the program end
// with 1, so that `make bench` fails on it.
#include <benchmark/benchmark.h>

#include <vector>

namespace benchrun {

class FailureCountingReporter : public benchmark::ConsoleReporter {
public:
    FailureCountingReporter() : benchmark::ConsoleReporter(OO_Tabular) {}
    int failures = 0;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.error_occurred)
                ++failures;
        benchmark::ConsoleReporter::ReportRuns(runs);
    }
};

// 0 when every benchmark run kept its bounds, else 1.
inline int runChosenBenchmarks()
{
    FailureCountingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return reporter.failures == 0 ? 0 : 1;
}

} // namespace benchrun
