#include "platform/mqtt/mqtt_echo_probe.h"

#include "platform/mqtt/mosquitto_client.h"

#include <algorithm>

namespace velmor {

MqttEchoProbe::MqttEchoProbe(MosquittoClient& client, const QString& clientId)
    : m_client(client)
    , m_topic(QStringLiteral("velmor/echo/") + clientId) {}

std::optional<quint64> MqttEchoProbe::send() {
    if (!m_subscribed) {
        m_client.subscribe(m_topic, 0);
        m_subscribed = true;
    }
    const quint64 token = ++m_sent;
    if (!m_client.publish(m_topic, QByteArray::number(token), 0, false))
        return std::nullopt;
    return token;
}

bool MqttEchoProbe::take(const QString& topic, const QByteArray& payload) {
    if (topic != m_topic)
        return false;
    m_seen = std::max(m_seen, payload.toULongLong());
    return true;
}

} // namespace velmor
