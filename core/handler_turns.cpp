#include "core/handler_turns.h"

#include "core/handler_guard.h"

#include <QMetaObject>

namespace velmor {

void HandlerTurns::run(const char* handling, QString input, std::function<void()> handler) {
    Kept kept{handling, std::move(input), std::move(handler)};
    if (m_waiting > 0 || (m_running == 0 && !m_kept.empty())) {
        m_kept.push_back(std::move(kept));
        if (m_waiting == 0)
            scheduleKept();
        return;
    }
    runNow(kept);
}

void HandlerTurns::runNow(const Kept& kept) {
    ++m_running;
    runHandler(kept.handling, kept.input, kept.handler);
    --m_running;
}

void HandlerTurns::scheduleKept() {
    if (m_scheduled)
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_scheduled = false;
            runKept();
        },
        Qt::QueuedConnection);
}

void HandlerTurns::runKept() {
    // A wait's turn ran this: the wait's end schedules it again.
    if (m_waiting > 0 || m_kept.empty())
        return;
    if (m_running > 0) {
        scheduleKept();
        return;
    }
    const Kept kept = std::move(m_kept.front());
    m_kept.pop_front();
    runNow(kept);
    if (!m_kept.empty())
        scheduleKept();
}

HandlerTurns::Waiting::Waiting(HandlerTurns& turns)
    : m_turns(turns) {
    ++m_turns.m_waiting;
}

HandlerTurns::Waiting::~Waiting() {
    if (--m_turns.m_waiting == 0 && !m_turns.m_kept.empty())
        m_turns.scheduleKept();
}

} // namespace velmor
