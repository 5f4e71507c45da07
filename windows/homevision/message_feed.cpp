#include "windows/homevision/message_feed.h"

namespace velmor::homevision {

MessageFeed::MessageFeed(Actions actions)
    : m_actions(std::move(actions)) {}

void MessageFeed::add(const std::string& message) {
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
    m_awaitingAck = false;
    next();
}

void MessageFeed::overdue() {
    if (!m_awaitingAck)
        return;
    m_awaitingAck = false;
    m_actions.acknowledgementOverdue(m_awaiting);
    next();
}

void MessageFeed::next() {
    if (m_awaitingAck || m_finished)
        return;
    if (m_queue.empty()) {
        if (m_inputEnded) {
            m_finished = true;
            m_actions.finished();
        }
        return;
    }
    if (!m_clientListens)
        return;
    m_awaiting = m_queue.front();
    m_queue.pop_front();
    m_awaitingAck = true;
    m_actions.deliver(m_awaiting);
}

} // namespace velmor::homevision
