#include "platform/mqtt/retained_value_watch.h"

#include "platform/mqtt/mqtt_connection.h"

namespace velmor {

RetainedValueWatch::RetainedValueWatch(MqttConnection& connection)
    : m_connection(connection) {}

bool RetainedValueWatch::refresh(const QString& topic, QDeadlineTimer deadline) {
    m_watched.insert(topic);
    m_connection.subscribe(topic, 1);
    // The broker sends a subscription's retained value before anything it owes for later requests.
    return m_latest.contains(topic) || m_connection.waitForRoundTrip(deadline);
}

std::optional<QByteArray> RetainedValueWatch::latest(const QString& topic) const {
    const auto found = m_latest.constFind(topic);
    if (found == m_latest.constEnd())
        return std::nullopt;
    return *found;
}

void RetainedValueWatch::take(const QString& topic, const QByteArray& payload) {
    if (m_watched.contains(topic))
        m_latest.insert(topic, payload);
}

} // namespace velmor
