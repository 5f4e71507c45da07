#include "platform/mqtt/mqtt_echo_probe.h"

#include "platform/mqtt/mosquitto_client.h"

#include <QRandomGenerator>

namespace velmor {

namespace {

// QoS 1, so that a broker refusing the topic says so in its acknowledgement instead of dropping it.
constexpr int Qos = 1;

QByteArray newToken() {
    quint64 bits[2];
    QRandomGenerator::system()->fillRange(bits);
    return QByteArray(reinterpret_cast<const char*>(bits), sizeof bits).toHex();
}

} // namespace

MqttEchoProbe::MqttEchoProbe(MosquittoClient& client, const QString& clientId)
    : m_client(client)
    , m_topic(QStringLiteral("velmor/echo/") + clientId) {}

std::optional<QByteArray> MqttEchoProbe::send() {
    if (!m_subscribed)
        m_subscribed = m_client.subscribe(m_topic, Qos).has_value();
    QByteArray token = newToken();
    if (!m_client.publish(m_topic, token, Qos, false))
        return std::nullopt;
    m_awaited.insert(token);
    return token;
}

bool MqttEchoProbe::take(const QString& topic, const QByteArray& payload) {
    if (topic != m_topic)
        return false;
    m_awaited.remove(payload);
    return true;
}

void MqttEchoProbe::connectionEnded() {
    // The tokens still awaited stay so: they never come back now.
    m_subscribed = false;
}

} // namespace velmor
