#include "platform/mqtt/mqtt_connection.h"

#include "core/log_categories.h"

#include <QRandomGenerator>

namespace velmor {

namespace {

// A connection that is neither made nor refused by then is given up and tried again later.
constexpr std::chrono::milliseconds HandshakeLimit{10'000};
// How long the goodbye may wait for the socket, at each of its two steps.
constexpr std::chrono::milliseconds GoodbyeLimit{1000};

QString uniqueClientId(const QString& prefix) {
    return prefix + QLatin1Char('-') +
           QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, QLatin1Char('0'));
}

} // namespace

MqttConnection::MqttConnection(MqttBrokerAddress broker, const QString& clientIdPrefix, QObject* parent)
    : QObject(parent)
    , m_client(std::move(broker), uniqueClientId(clientIdPrefix), *this)
    , m_echo(m_client, m_client.clientId())
    , m_retained(*this)
    , m_delivery(*this) {
    m_handshakeLimit.setSingleShot(true);
    m_handshakeLimit.setInterval(HandshakeLimit);
    connect(&m_handshakeLimit, &QTimer::timeout, this,
            [this] { m_client.abandon(QStringLiteral("no answer from the broker")); });
    connect(&m_backoff, &ReconnectBackoff::retryDue, this, &MqttConnection::connectNow);
}

MqttConnection::~MqttConnection() {
    m_backoff.stop();
    if (m_state == State::Connected) {
        m_state = State::Closing;
        m_client.sayGoodbye(GoodbyeLimit);
    }
    m_state = State::Closed;
}

void MqttConnection::setWill(const QString& topic, const QByteArray& payload, int qos, bool retain) {
    m_client.setWill(topic, payload, qos, retain);
}

void MqttConnection::start() {
    if (m_state != State::Idle)
        return;
    m_state = State::Offline;
    QTimer::singleShot(0, this, &MqttConnection::connectNow);
}

void MqttConnection::connectNow() {
    if (m_client.isOpen() || m_state == State::Closing || m_state == State::Closed)
        return;
    if (const std::optional<QString> problem = m_client.open(KeepAliveSeconds)) {
        m_state = State::Offline;
        m_lastProblem = *problem;
        if (m_backoff.retryLater()) {
            qCWarning(lcMqtt, "cannot reach the MQTT broker %s (%s); trying again",
                      qUtf8Printable(describeBroker(broker())), qUtf8Printable(*m_lastProblem));
        }
        return;
    }
    m_state = State::Connecting;
    m_lastProblem.reset();
    m_handshakeLimit.start();
}

void MqttConnection::welcomed() {
    m_handshakeLimit.stop();
    m_state = State::Connected;
    m_lastProblem.reset();
    if (m_backoff.connected())
        qCInfo(lcMqtt, "connected to the MQTT broker %s again", qUtf8Printable(describeBroker(broker())));
    for (auto it = m_subscriptions.cbegin(); it != m_subscriptions.cend(); ++it)
        m_client.subscribe(it.key(), it.value());
    m_delivery.post([this] { Q_EMIT connected(); });
}

void MqttConnection::turnedAway(const QString& why) {
    // The broker closes the connection next; closed() keeps this reason.
    m_state = State::TurnedAway;
    m_lastProblem = why;
}

void MqttConnection::closed(const QString& why) {
    m_handshakeLimit.stop();
    m_echo.connectionEnded();
    m_retained.connectionEnded();
    if (!m_lastProblem)
        m_lastProblem = why;
    if (m_state == State::Closing)
        return;
    const bool wasConnected = m_state == State::Connected;
    if (m_state != State::TurnedAway)
        m_state = State::Offline;
    if (m_backoff.retryLater()) {
        qCWarning(lcMqtt, "%s the MQTT broker %s (%s); reconnecting", wasConnected ? "lost" : "cannot reach",
                  qUtf8Printable(describeBroker(broker())), qUtf8Printable(*m_lastProblem));
    }
    if (wasConnected)
        m_delivery.post([this] { Q_EMIT disconnected(); });
}

void MqttConnection::published(int messageId) {
    m_awaitingAck.remove(messageId);
}

void MqttConnection::arrived(const QString& topic, const QByteArray& payload, bool retained) {
    if (m_echo.take(topic, payload))
        return;
    m_retained.take(topic, payload);
    m_delivery.post([this, topic, payload, retained] { Q_EMIT messageReceived(topic, payload, retained); });
}

std::optional<int> MqttConnection::publish(const QString& topic, const QByteArray& payload, int qos,
                                           bool retain) {
    if (m_state != State::Connected)
        return std::nullopt;
    const std::optional<int> messageId = m_client.publish(topic, payload, qos, retain);
    if (messageId && qos > 0)
        m_awaitingAck.insert(*messageId);
    return messageId;
}

void MqttConnection::subscribe(const QString& topicFilter, int qos) {
    if (m_subscriptions.value(topicFilter, -1) == qos)
        return;
    m_subscriptions.insert(topicFilter, qos);
    if (m_state == State::Connected)
        m_client.subscribe(topicFilter, qos);
}

bool MqttConnection::waitForConnected(QDeadlineTimer deadline) {
    connectNow();
    return driveUntil([this] { return m_state == State::Connected; }, deadline);
}

bool MqttConnection::waitForAcknowledgement(int messageId, QDeadlineTimer deadline) {
    return driveUntil([this, messageId] { return !m_awaitingAck.contains(messageId); }, deadline) &&
           m_state == State::Connected;
}

bool MqttConnection::waitForRoundTrip(QDeadlineTimer deadline) {
    if (m_state != State::Connected)
        return false;
    const std::optional<quint64> token = m_echo.send();
    return token && driveUntil([this, token] { return m_echo.returned(*token); }, deadline);
}

bool MqttConnection::driveUntil(const std::function<bool()>& done, QDeadlineTimer deadline) {
    const OrderedDelivery::Hold hold = m_delivery.hold();
    return m_client.drive(done, deadline);
}

} // namespace velmor
