#include "bench/latency_sample.h"

#include <algorithm>
#include <cmath>

namespace velmor::bench {

double LatencySample::percentileUs(double share) const {
    if (m_durations.empty())
        return 0.0;
    std::vector<Duration> sorted = m_durations;
    // Nearest rank: the smallest duration that at least `share` of the sample does not exceed.
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    const std::size_t index = std::clamp<std::size_t>(rank, 1, sorted.size()) - 1;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(index), sorted.end());
    return std::chrono::duration<double, std::micro>(sorted[index]).count();
}

void LatencySample::publish(benchmark::State& state) const {
    state.counters["p50_us"] = percentileUs(0.50);
    state.counters["p99_us"] = percentileUs(0.99);
    state.counters["count"] = static_cast<double>(m_durations.size());
}

} // namespace velmor::bench
