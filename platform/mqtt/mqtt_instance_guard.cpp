#include "platform/mqtt/mqtt_instance_guard.h"

#include "announce/velmor_payloads.h"
#include "platform/mqtt/mqtt_connection.h"

namespace velmor {

MqttInstanceGuard::MqttInstanceGuard(MqttConnection& connection, QObject* parent)
    : InstanceGuard(parent)
    , m_connection(connection) {}

InstanceGuard::Claim MqttInstanceGuard::claim() {
    RetainedValueWatch& retained = m_connection.retainedValues();
    const QDeadlineTimer deadline(MqttConnection::WaitLimit);
    if (!m_connection.waitForConnected(deadline) || !retained.refresh(velmor_topic::Status, deadline))
        return Claim::Unchecked;
    return retained.latest(velmor_topic::Status) == StatusOnline ? Claim::Taken : Claim::Ours;
}

QString MqttInstanceGuard::place() const {
    return QStringLiteral("the MQTT broker %1").arg(describeBroker(m_connection.broker()));
}

} // namespace velmor
