#include "platform/mqtt/mqtt_connection.h"

#include "core/log_categories.h"

#include <QRandomGenerator>

namespace velmor {

namespace {

// A connection that is neither made nor refused by then is given up and tried again later.
constexpr std::chrono::milliseconds HandshakeLimit{10'000};
// How long the goodbye may wait for the socket, at each of its two steps.
constexpr std::chrono::milliseconds GoodbyeLimit{1000};
// MQTT 5 reason codes from here on are refusals.
constexpr int FirstRefusal = 0x80;

QString uniqueClientId(const QString& prefix) {
    return prefix + QLatin1Char('-') +
           QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, QLatin1Char('0'));
}

} // namespace

MqttConnection::MqttConnection(MqttBrokerAddress broker, const QString& clientIdPrefix, QObject* parent)
    : QObject(parent)
    , m_client(std::move(broker), uniqueClientId(clientIdPrefix), *this)
    , m_echo(m_client, m_client.clientId())
    , m_presence(m_client)
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
    for (auto it = m_subscriptions.cbegin(); it != m_subscriptions.cend(); ++it) {
        if (m_admitted || it->watchOnly)
            subscribeNow(it.key(), it->qos);
    }
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
    m_awaitingAck.clear();
    m_refusals.clear();
    m_refusedTopics.clear();
    if (!m_lastProblem)
        m_lastProblem = why;
    if (m_state == State::Closing)
        return;
    const bool wasConnected = m_state == State::Connected;
    if (m_state != State::TurnedAway)
        m_state = State::Offline;
    if (m_backoff.retryLater()) {
        const char* what = wasConnected ? "lost the MQTT broker %s (%s); reconnecting"
                           : m_state == State::TurnedAway
                               ? "the MQTT broker %s refused Velmor (%s); trying again"
                               : "cannot reach the MQTT broker %s (%s); reconnecting";
        qCWarning(lcMqtt, what, qUtf8Printable(describeBroker(broker())), qUtf8Printable(*m_lastProblem));
    }
    if (wasConnected)
        m_delivery.post([this] { Q_EMIT disconnected(); });
}

void MqttConnection::published(int messageId, const QString& topic, int reasonCode) {
    m_awaitingAck.remove(messageId);
    if (reasonCode >= FirstRefusal) {
        m_refusals.insert(messageId, MosquittoClient::reasonText(reasonCode));
        refused("messages to", topic, reasonCode);
    }
}

void MqttConnection::subscribed(const QString& topicFilter, int grantedOrReason) {
    if (grantedOrReason >= FirstRefusal)
        refused("subscription to", topicFilter, grantedOrReason);
}

void MqttConnection::refused(const char* what, const QString& topic, int reasonCode) {
    m_refusedTopics.insert(topic);
    const QString said = QLatin1String(what) + topic;
    if (m_saidRefusals.contains(said))
        return;
    m_saidRefusals.insert(said);
    qCWarning(lcMqtt, "the MQTT broker %s refuses Velmor's %s %s (%s)",
              qUtf8Printable(describeBroker(broker())), what, qUtf8Printable(topic),
              qUtf8Printable(MosquittoClient::reasonText(reasonCode)));
}

void MqttConnection::arrived(const QString& topic, const QByteArray& payload, bool retained) {
    if (m_echo.take(topic, payload) || m_presence.take(topic, payload))
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
    const auto known = m_subscriptions.constFind(topicFilter);
    if (known != m_subscriptions.constEnd() && known->qos == qos)
        return;
    m_subscriptions.insert(topicFilter, Subscription{qos, false});
    if (m_state == State::Connected && m_admitted)
        subscribeNow(topicFilter, qos);
}

void MqttConnection::watch(const QString& topicFilter, int qos) {
    const auto known = m_subscriptions.constFind(topicFilter);
    if (known != m_subscriptions.constEnd() && known->qos == qos && (known->watchOnly || m_admitted))
        return;
    m_subscriptions.insert(topicFilter, Subscription{qos, true});
    if (m_state == State::Connected)
        subscribeNow(topicFilter, qos);
}

void MqttConnection::subscribeNow(const QString& topicFilter, int qos) {
    static_cast<void>(m_client.subscribe(topicFilter, qos));
}

void MqttConnection::setAdmitted(bool admitted) {
    if (admitted == m_admitted)
        return;
    m_admitted = admitted;
    if (!admitted)
        return;
    if (m_state == State::Connected) {
        for (auto it = m_subscriptions.cbegin(); it != m_subscriptions.cend(); ++it) {
            if (!it->watchOnly)
                subscribeNow(it.key(), it->qos);
        }
    }
    Q_EMIT this->admitted();
}

void MqttConnection::answerAsRunningCopy() {
    m_presence.startAnswering();
    subscribe(MqttPresence::QuestionTopic, MqttPresence::Qos);
}

std::optional<QString> MqttConnection::refusal(int messageId) const {
    const auto found = m_refusals.constFind(messageId);
    if (found == m_refusals.constEnd())
        return std::nullopt;
    return *found;
}

bool MqttConnection::waitForConnected(QDeadlineTimer deadline) {
    connectNow();
    return driveUntil([this] { return m_state == State::Connected; }, deadline);
}

bool MqttConnection::waitForAcknowledgement(int messageId, QDeadlineTimer deadline) {
    return driveUntil([this, messageId] { return !m_awaitingAck.contains(messageId); }, deadline) &&
           m_state == State::Connected && !m_refusals.contains(messageId);
}

bool MqttConnection::waitForRoundTrip(QDeadlineTimer deadline) {
    if (m_state != State::Connected)
        return false;
    const std::optional<QByteArray> token = m_echo.send();
    if (!token)
        return false;
    // A broker that refuses the echo says so at once; the wait need not last.
    return driveUntil([&] { return m_echo.returned(*token) || refusesRoundTrips(); }, deadline) &&
           !refusesRoundTrips() && m_state == State::Connected;
}

MqttConnection::RunningCopy MqttConnection::askForRunningCopy(QDeadlineTimer deadline,
                                                              std::chrono::milliseconds answerLimit) {
    if (m_state != State::Connected)
        return RunningCopy::Unknown;
    const std::optional<QByteArray> token = m_presence.ask();
    // Behind the echo, the broker has passed the question on to whoever listens.
    if (!token || !waitForRoundTrip(deadline))
        return RunningCopy::Unknown;
    const bool answered =
        driveUntil([&] { return m_presence.answered(*token); }, QDeadlineTimer(answerLimit));
    if (answered)
        return RunningCopy::Answered;
    return m_state == State::Connected ? RunningCopy::Silent : RunningCopy::Unknown;
}

bool MqttConnection::driveUntil(const std::function<bool()>& done, QDeadlineTimer deadline) {
    const OrderedDelivery::Hold hold = m_delivery.hold();
    return m_client.drive(done, deadline);
}

} // namespace velmor
