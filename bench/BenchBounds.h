#pragma once
// A time bound that a benchmark promises, checked: the run is reported as an error when one
// pass of its loop took longer than the bound on average.
#include <benchmark/benchmark.h>

#include <chrono>

template <class Body>
void runWithin(benchmark::State &state, double boundMs, const char *failure, Body &&body)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        body();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (state.iterations() > 0 && took.count() / double(state.iterations()) > boundMs)
        state.SkipWithError(failure);
}
