#include "platform/mqtt/ordered_delivery.h"

#include <QMetaObject>

namespace velmor {

OrderedDelivery::OrderedDelivery(QObject& context)
    : m_context(context) {}

void OrderedDelivery::post(std::function<void()> call) {
    const bool wasEmpty = m_calls.empty();
    m_calls.push_back(std::move(call));
    if (wasEmpty && !held())
        schedule();
}

void OrderedDelivery::schedule() {
    QMetaObject::invokeMethod(
        &m_context, [this] { deliver(); }, Qt::QueuedConnection);
}

void OrderedDelivery::deliver() {
    if (m_phase != Phase::Idle)
        return;
    m_phase = Phase::Telling;
    // A receiver may wait and so add to the queue meanwhile; it is told in this same run.
    while (!m_calls.empty()) {
        const std::function<void()> call = std::move(m_calls.front());
        m_calls.pop_front();
        call();
    }
    m_phase = Phase::Idle;
}

OrderedDelivery::Hold::Hold(OrderedDelivery& delivery)
    : m_delivery(delivery)
    , m_previous(delivery.m_phase) {
    const bool telling = m_previous == Phase::Telling || m_previous == Phase::HeldWhileTelling;
    m_delivery.m_phase = telling ? Phase::HeldWhileTelling : Phase::Held;
}

OrderedDelivery::Hold::~Hold() {
    m_delivery.m_phase = m_previous;
    if (!m_delivery.m_calls.empty())
        m_delivery.schedule();
}

} // namespace velmor
