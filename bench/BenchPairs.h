#pragma once
// Comparisons of ours with another program's way of doing the same: the two sides timed in
// alternation in one benchmark, so that whatever else loads the machine weighs on both alike.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

// Registers a comparison: kRounds runs of each side (see alternate()).
#define PELMORA_PAIR(name) \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(benchpairs::kRounds)

namespace benchpairs {

constexpr int kRounds = 7; // timed runs of each side

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// ours() and theirs() each do one run and give its ms. They take turns, ours first, as many
// rounds as the benchmark has iterations, after one run of each that is not counted (it pages
// the data in and starts threads). Reports the median ms of each side as the counters
// ours_ms and theirs_ms.
template <typename Ours, typename Theirs>
void alternate(benchmark::State &state, Ours ours, Theirs theirs)
{
    ours();
    theirs();
    std::vector<double> oursMs, theirsMs;
    for (auto _ : state) {
        oursMs.push_back(ours());
        theirsMs.push_back(theirs());
        state.SetIterationTime((oursMs.back() + theirsMs.back()) / 1000.0);
    }
    state.counters["ours_ms"] = median(oursMs);
    state.counters["theirs_ms"] = median(theirsMs);
}

} // namespace benchpairs
