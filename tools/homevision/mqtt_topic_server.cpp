#include "tools/homevision/mqtt_topic_server.h"

#include "platform/mqtt/mqtt_connection.h"

#include <cstdio>

namespace velmor::homevision {

namespace {

constexpr std::chrono::milliseconds ServeLimit{10'000};
const QString PokeSuffix = QStringLiteral("/set");

} // namespace

MqttTopicServer::MqttTopicServer(MqttConnection& connection, const QString& application, const QString& topic,
                                 QObject* parent)
    : TopicEndpoint(parent)
    , m_connection(connection)
    , m_base(QStringLiteral("velmor/") + application + QLatin1Char('/') + topic) {
    m_connection.setWill(m_base + QStringLiteral("/state"), QByteArrayLiteral("offline"), 1, true);
    connect(&m_connection, &MqttConnection::messageReceived, this, &MqttTopicServer::onMessage);
    // A broker that comes back after a restart without persistence has forgotten the retained state:
    // say it again on every reconnect.
    connect(&m_connection, &MqttConnection::disconnected, this, [this] { m_lost = true; });
    connect(&m_connection, &MqttConnection::connected, this, [this] {
        if (m_serving && m_lost)
            static_cast<void>(m_connection.publish(m_base + QStringLiteral("/state"), "online", 1, true));
        m_lost = false;
    });
}

MqttTopicServer::~MqttTopicServer() {
    if (!m_serving)
        return;
    if (const auto id = m_connection.publish(m_base + QStringLiteral("/state"), "offline", 1, true))
        static_cast<void>(
            m_connection.waitForAcknowledgement(*id, QDeadlineTimer(MqttConnection::WaitLimit)));
}

std::optional<QString> MqttTopicServer::serve() {
    const QDeadlineTimer deadline(ServeLimit);
    if (!m_connection.waitForConnected(deadline)) {
        return QStringLiteral("cannot reach the MQTT broker %1: %2")
            .arg(describeBroker(m_connection.broker()), m_connection.lastProblem().value_or(QString()));
    }
    m_connection.subscribe(m_base + QStringLiteral("/+") + PokeSuffix, 1);
    const auto id = m_connection.publish(m_base + QStringLiteral("/state"), "online", 1, true);
    if (!id || !m_connection.waitForAcknowledgement(*id, deadline) ||
        !m_connection.waitForRoundTrip(deadline)) {
        return QStringLiteral("the MQTT broker %1 did not take the state")
            .arg(describeBroker(m_connection.broker()));
    }
    m_serving = true;
    std::fprintf(stderr, "velmor-homevision: serving %s on %s\n", qUtf8Printable(m_base),
                 qUtf8Printable(describeBroker(m_connection.broker())));
    return std::nullopt;
}

void MqttTopicServer::setItem(const QString& item, const QString& value) {
    static_cast<void>(m_connection.publish(m_base + QLatin1Char('/') + item, value.toUtf8(), 1, false));
    Q_EMIT sent(item, value);
}

void MqttTopicServer::onMessage(const QString& topic, const QByteArray& payload, bool retained) {
    const QString prefix = m_base + QLatin1Char('/');
    // A retained poke is one somebody left behind, not one sent now.
    if (retained || !topic.startsWith(prefix) || !topic.endsWith(PokeSuffix))
        return;
    const QString item = topic.mid(prefix.size(), topic.size() - prefix.size() - PokeSuffix.size());
    const QString value = QString::fromUtf8(payload);
    Q_EMIT received(QStringLiteral("Poke"), item, value);
    Q_EMIT poked(item, value);
}

} // namespace velmor::homevision
