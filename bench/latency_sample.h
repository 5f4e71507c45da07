#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace velmor::bench {

// Every measured duration of one benchmark, so that it reports percentiles and not only a mean.
class LatencySample {
public:
    using Duration = std::chrono::steady_clock::duration;

    void reserve(std::size_t count) { m_durations.reserve(count); }
    void add(Duration duration) { m_durations.push_back(duration); }

    // The duration below which the given share (0 to 1) of the sample lies, in microseconds.
    [[nodiscard]] double percentileUs(double share) const;

    // Adds p50_us and p99_us to the benchmark's counters.
    void publish(benchmark::State& state) const;

private:
    std::vector<Duration> m_durations;
};

} // namespace velmor::bench
