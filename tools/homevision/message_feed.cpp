#include "tools/homevision/message_feed.h"

namespace velmor::homevision {

MessageFeed::MessageFeed(int ackTimeoutMs, QObject* parent)
    : QObject(parent) {
    m_ackTimer.setSingleShot(true);
    m_ackTimer.setInterval(ackTimeoutMs);
    connect(&m_ackTimer, &QTimer::timeout, this, &MessageFeed::overdue);
}

void MessageFeed::add(const QString& message) {
    m_queue.push_back(message);
    next();
}

void MessageFeed::endOfInput() {
    m_inputEnded = true;
    next();
}

void MessageFeed::clientListens() {
    m_clientListens = true;
    next();
}

void MessageFeed::acknowledged() {
    if (!m_awaitingAck)
        return;
    m_ackTimer.stop();
    m_awaitingAck = false;
    next();
}

void MessageFeed::overdue() {
    m_awaitingAck = false;
    Q_EMIT acknowledgementOverdue(m_awaiting);
    next();
}

void MessageFeed::next() {
    if (m_awaitingAck || m_finished)
        return;
    if (m_queue.empty()) {
        if (m_inputEnded) {
            m_finished = true;
            Q_EMIT finished();
        }
        return;
    }
    if (!m_clientListens)
        return;
    m_awaiting = m_queue.front();
    m_queue.pop_front();
    m_awaitingAck = true;
    m_ackTimer.start();
    Q_EMIT deliver(m_awaiting);
}

} // namespace velmor::homevision
