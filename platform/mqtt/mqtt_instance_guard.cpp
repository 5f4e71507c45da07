#include "platform/mqtt/mqtt_instance_guard.h"

#include "platform/mqtt/mqtt_connection.h"
#include "platform/mqtt/velmor_payloads.h"

namespace velmor {

MqttInstanceGuard::MqttInstanceGuard(MqttConnection& connection, QObject* parent)
    : InstanceGuard(parent)
    , m_connection(connection) {}

InstanceGuard::Claim MqttInstanceGuard::claim() {
    m_connection.track(velmor_topic::Status);
    m_connection.subscribe(velmor_topic::Status, 1);
    const QDeadlineTimer deadline(MqttConnection::WaitLimit);
    // The round trip makes sure the broker has sent the retained status, if it keeps one.
    if (!m_connection.waitForConnected(deadline) || !m_connection.waitForRoundTrip(deadline))
        return Claim::Unchecked;
    return m_connection.latest(velmor_topic::Status) == StatusOnline ? Claim::Taken : Claim::Ours;
}

QString MqttInstanceGuard::place() const {
    return QStringLiteral("the MQTT broker %1").arg(describeBroker(m_connection.broker()));
}

} // namespace velmor
