#pragma once
// Comparisons of ours with another program's way of doing the same: the two sides timed in
// alternation in one benchmark, so that whatever else loads the machine weighs on both alike.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <sched.h>
#include <vector>

// Registers a comparison (see alternate()) of kRepetitions repetitions. The console shows the
// median of each counter over them; a file written with --benchmark_out also holds each
// repetition, from which bench/figures takes the spread of the ratio. Run with
// --benchmark_enable_random_interleaving=true, so that the repetitions of all comparisons are
// shuffled and each comparison's are spread over the whole run: its medians then stand for
// the load of the whole run, not of the few seconds that a comparison would take in one piece.
#define PELMORA_PAIR(name)                                                                                   \
    BENCHMARK(name)                                                                                          \
        ->Unit(benchmark::kMillisecond)                                                                      \
        ->UseManualTime()                                                                                    \
        ->Iterations(1)                                                                                      \
        ->Repetitions(benchpairs::kRepetitions)                                                              \
        ->DisplayAggregatesOnly(true)

namespace benchpairs {

constexpr int kRepetitions = 9;
// A repetition takes turns until the runs of both sides add up to this, so that quick
// operations are timed more often.
constexpr double kMinMs = 500;

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Keeps the calling thread, and every thread it starts from now on, to the last count of the
// CPUs it may run on (all of them when there are fewer); gives how many that is. Call before
// any other thread starts. On a virtual machine above all, a thread that wakes another on a
// different CPU, or moves between CPUs, costs time that varies from run to run far more than
// the work does; kept to as many CPUs as threads, both sides run as they would on a machine
// of that size, and other work on the machine shares those CPUs with both alike.
inline int pinToCpus(int count)
{
    cpu_set_t allowed;
    if (count < 1 || sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return 0;
    cpu_set_t chosen;
    CPU_ZERO(&chosen);
    int pinned = 0;
    for (int cpu = CPU_SETSIZE - 1; cpu >= 0 && pinned < count; --cpu)
        if (CPU_ISSET(cpu, &allowed)) {
            CPU_SET(cpu, &chosen);
            ++pinned;
        }
    return sched_setaffinity(0, sizeof chosen, &chosen) == 0 ? pinned : 0;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// One repetition of a comparison: ours() and theirs() each do one run and give its ms; they
// take turns, ours first, until both together have run kMinMs. Reports the median ms of each
// side as the counters ours_ms and theirs_ms, and the runs of each as rounds.
template <typename Ours, typename Theirs>
void alternate(benchmark::State &state, Ours ours, Theirs theirs)
{
    std::vector<double> oursMs, theirsMs;
    for (auto _ : state) {
        double total = 0;
        do {
            oursMs.push_back(ours());
            theirsMs.push_back(theirs());
            total += oursMs.back() + theirsMs.back();
        } while (total < kMinMs);
        state.SetIterationTime(total / 1000.0);
    }
    state.counters["ours_ms"] = median(oursMs);
    state.counters["theirs_ms"] = median(theirsMs);
    state.counters["rounds"] = double(oursMs.size());
}

} // namespace benchpairs
