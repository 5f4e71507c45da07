#pragma once

#include <chrono>

namespace velmor::relay {

// When to try a lost peer again, with Velmor's own numbers: pauses from half a second, doubling up to
// ten seconds. Only a connection that held for a while starts the next outage from the shortest pause
// again, so a peer that accepts and drops at once is not hammered. The first failure of an outage is
// the one worth a line in the log.
class ReconnectPauses {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::milliseconds FirstPause{500};
    static constexpr std::chrono::milliseconds LongestPause{10'000};
    static constexpr std::chrono::milliseconds ProvenAfter{5'000};

    struct Failure {
        std::chrono::milliseconds pause;
        bool beginsOutage;
    };

    void connected(Clock::time_point now);
    // The attempt failed or the connection was lost at `now`.
    [[nodiscard]] Failure failed(Clock::time_point now);

private:
    std::chrono::milliseconds m_nextPause = FirstPause;
    Clock::time_point m_connectedAt;
    bool m_isConnected = false;
    bool m_inOutage = false;
};

} // namespace velmor::relay
