#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace velmor {

// When to try a lost peer again: pauses from half a second, doubling up to ten seconds. Only a
// connection that held for a while starts the next outage from the shortest pause again, so a peer
// that accepts and drops at once is not hammered. The owner warns once per outage: retryLater()
// says when a failure is the first of one.
class ReconnectBackoff : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::chrono::milliseconds FirstPause{500};
    static constexpr std::chrono::milliseconds LongestPause{10'000};
    // A connection that stayed up this long proved that the peer is back for good.
    static constexpr std::chrono::milliseconds ProvenAfter{5'000};

    explicit ReconnectBackoff(QObject* parent = nullptr, Clock clock = std::chrono::steady_clock::now);

    // The peer answered. Returns true when this ends an outage that was reported.
    bool connected();
    // The attempt failed or the connection was lost: retryDue comes after the next pause. Returns
    // true when this failure begins an outage, the one worth a warning.
    bool retryLater();
    // Makes the attempt now due at once instead of after its pause.
    void retryNow();
    // Forgets everything: no attempt is due, and the next outage starts afresh.
    void stop();

    [[nodiscard]] bool isWaiting() const { return m_timer.isActive(); }
    // The pause before the attempt now due (zero when none is).
    [[nodiscard]] std::chrono::milliseconds currentPause() const;

Q_SIGNALS:
    void retryDue();

private:
    Clock m_clock;
    QTimer m_timer;
    std::chrono::milliseconds m_nextPause = FirstPause;
    std::chrono::steady_clock::time_point m_connectedAt;
    bool m_isConnected = false;
    bool m_inOutage = false;
};

} // namespace velmor
