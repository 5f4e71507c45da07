#include "platform/common/reconnect_backoff.h"

#include <algorithm>

namespace velmor {

ReconnectBackoff::ReconnectBackoff(QObject* parent, Clock clock)
    : QObject(parent)
    , m_clock(std::move(clock)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ReconnectBackoff::retryDue);
}

bool ReconnectBackoff::connected() {
    m_timer.stop();
    m_isConnected = true;
    m_connectedAt = m_clock();
    const bool wasOutage = m_inOutage;
    m_inOutage = false;
    return wasOutage;
}

bool ReconnectBackoff::retryLater() {
    if (m_isConnected && m_clock() - m_connectedAt >= ProvenAfter)
        m_nextPause = FirstPause;
    m_isConnected = false;
    const bool beginsOutage = !m_inOutage;
    m_inOutage = true;
    if (!m_timer.isActive()) {
        m_timer.start(m_nextPause);
        m_nextPause = std::min(m_nextPause * 2, LongestPause);
    }
    return beginsOutage;
}

void ReconnectBackoff::retryNow() {
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    Q_EMIT retryDue();
}

void ReconnectBackoff::stop() {
    m_timer.stop();
    m_nextPause = FirstPause;
    m_isConnected = false;
    m_inOutage = false;
}

std::chrono::milliseconds ReconnectBackoff::currentPause() const {
    return m_timer.isActive() ? m_timer.intervalAsDuration() : std::chrono::milliseconds{0};
}

} // namespace velmor
