#include "platform/mqtt/ordered_delivery.h"

#include <QMetaObject>

namespace velmor {

namespace {

// A message's handling takes a fraction of a millisecond: a batch keeps the event loop's turns a few
// milliseconds apart.
constexpr int CallsPerTurn = 16;

} // namespace

OrderedDelivery::OrderedDelivery(QObject& context)
    : m_context(context) {}

void OrderedDelivery::post(std::function<void()> call) {
    const bool wasEmpty = m_calls.empty();
    m_calls.push_back(std::move(call));
    if (wasEmpty && !held())
        schedule();
}

void OrderedDelivery::schedule() {
    // One at a time: every wait's end asks again, and many pending runs would make one turn of the
    // event loop tell as many batches.
    if (m_scheduled)
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_scheduled = false;
            deliver();
        },
        Qt::QueuedConnection);
}

void OrderedDelivery::deliver() {
    if (m_phase != Phase::Idle)
        return;
    m_phase = Phase::Telling;
    // A receiver may wait and so add to the queue meanwhile; in a flood it never empties, so after a
    // batch the event loop gets its turn (the window paints, a click is taken) before the rest.
    for (int told = 0; told < CallsPerTurn && !m_calls.empty(); ++told) {
        const std::function<void()> call = std::move(m_calls.front());
        m_calls.pop_front();
        call();
    }
    m_phase = Phase::Idle;
    if (!m_calls.empty())
        schedule();
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
