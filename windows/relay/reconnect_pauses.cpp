#include "windows/relay/reconnect_pauses.h"

#include <algorithm>

namespace velmor::relay {

void ReconnectPauses::connected(Clock::time_point now) {
    m_isConnected = true;
    m_connectedAt = now;
    m_inOutage = false;
}

ReconnectPauses::Failure ReconnectPauses::failed(Clock::time_point now) {
    if (m_isConnected && now - m_connectedAt >= ProvenAfter)
        m_nextPause = FirstPause;
    m_isConnected = false;
    const Failure failure{m_nextPause, !m_inOutage};
    m_inOutage = true;
    m_nextPause = std::min(m_nextPause * 2, LongestPause);
    return failure;
}

} // namespace velmor::relay
