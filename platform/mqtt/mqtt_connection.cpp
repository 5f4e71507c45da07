#include "platform/mqtt/mqtt_connection.h"

#include "core/log_categories.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mosquitto.h>
#include <openssl/ssl.h>
#include <poll.h>

namespace velmor {

namespace {

// The library's clock for keep-alive pings only needs a look now and then.
constexpr int HousekeepingMs = 1000;
// A connection that is neither made nor refused by then is given up and tried again later.
constexpr std::chrono::milliseconds ConnectLimit{10'000};
// How many packets one notification reads at most before the event loop gets its turn.
constexpr int ReadsPerActivation = 256;

QString libraryError(int rc) {
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

bool hasInput(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0;
}

} // namespace

MqttConnection::MqttConnection(MqttBrokerAddress broker, QString clientIdPrefix, QObject* parent)
    : QObject(parent)
    , m_broker(std::move(broker))
    , m_clientId(
          clientIdPrefix + QLatin1Char('-') +
          QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, QLatin1Char('0')))
    , m_mosq(mosquitto_new(m_clientId.toUtf8().constData(), true, this), &mosquitto_destroy) {
    m_echoTopic = QStringLiteral("velmor/echo/") + m_clientId;
    if (m_mosq) {
        mosquitto* const m = m_mosq.get();
        mosquitto_int_option(m, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
        mosquitto_int_option(m, MOSQ_OPT_TCP_NODELAY, 1);
        mosquitto_connect_callback_set(m, &MqttConnection::onConnect);
        mosquitto_disconnect_callback_set(m, &MqttConnection::onDisconnect);
        mosquitto_publish_callback_set(m, &MqttConnection::onPublish);
        mosquitto_message_callback_set(m, &MqttConnection::onMessage);
        if (!m_broker.user.isEmpty()) {
            mosquitto_username_pw_set(m, m_broker.user.toUtf8().constData(),
                                      m_broker.hasPassword ? m_broker.password.toUtf8().constData()
                                                           : nullptr);
        }
        if (m_broker.tls) {
            // The system's trust store, which OpenSSL also lets SSL_CERT_FILE and SSL_CERT_DIR replace.
            mosquitto_int_option(m, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
            mosquitto_tls_opts_set(m, SSL_VERIFY_PEER, nullptr, nullptr);
        }
    }
    m_housekeeping.setInterval(HousekeepingMs);
    connect(&m_housekeeping, &QTimer::timeout, this, &MqttConnection::housekeeping);
    connect(&m_backoff, &ReconnectBackoff::retryDue, this, &MqttConnection::connectNow);
}

MqttConnection::~MqttConnection() {
    m_closing = true;
    m_backoff.stop();
    if (m_connected) {
        // What was published last (a retained "offline", say) leaves before the goodbye.
        static_cast<void>(driveUntil([this] { return !mosquitto_want_write(m_mosq.get()); },
                                     QDeadlineTimer(std::chrono::milliseconds{1000})));
        mosquitto_disconnect(m_mosq.get());
        static_cast<void>(driveUntil([this] { return !mosquitto_want_write(m_mosq.get()); },
                                     QDeadlineTimer(std::chrono::milliseconds{1000})));
    }
    m_readNotifier.reset();
    m_writeNotifier.reset();
}

void MqttConnection::setWill(const QString& topic, const QByteArray& payload, int qos, bool retain) {
    if (m_mosq) {
        mosquitto_will_set(m_mosq.get(), topic.toUtf8().constData(), static_cast<int>(payload.size()),
                           payload.constData(), qos, retain);
    }
}

void MqttConnection::start() {
    if (m_started)
        return;
    m_started = true;
    QTimer::singleShot(0, this, &MqttConnection::connectNow);
}

void MqttConnection::connectNow() {
    m_started = true;
    if (m_connecting || m_connected || m_closing)
        return;
    if (!m_mosq) {
        m_lastProblem = QStringLiteral("the MQTT library could not make a client");
        return;
    }
    const int rc = mosquitto_connect_async(m_mosq.get(), m_broker.host.toUtf8().constData(), m_broker.port,
                                           KeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS || mosquitto_socket(m_mosq.get()) < 0) {
        m_lastProblem = libraryError(rc);
        m_turnedAway = false;
        if (m_backoff.retryLater()) {
            qCWarning(lcDde, "cannot reach the MQTT broker %s (%s); trying again",
                      qUtf8Printable(describeBroker(m_broker)), qUtf8Printable(m_lastProblem));
        }
        return;
    }
    m_connecting = true;
    m_lastProblem.clear();
    m_turnedAway = false;
    m_connectStarted.start();
    watchSocket();
}

void MqttConnection::watchSocket() {
    const int fd = mosquitto_socket(m_mosq.get());
    m_readNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &MqttConnection::readSocket);
    m_writeNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &MqttConnection::writeSocket);
    updateWriteInterest();
    m_housekeeping.start();
}

void MqttConnection::lose(const QString& reason) {
    if (!m_connecting && !m_connected)
        return;
    const bool wasConnected = m_connected;
    m_connecting = false;
    m_connected = false;
    m_echoSubscribed = false;
    m_latest.clear();
    if (m_lastProblem.isEmpty())
        m_lastProblem = reason;
    // This may run inside either notifier's own activation.
    for (auto* notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            notifier->release()->deleteLater();
        }
    }
    m_housekeeping.stop();
    if (m_closing)
        return;
    if (m_backoff.retryLater()) {
        qCWarning(lcDde, "%s the MQTT broker %s (%s); reconnecting", wasConnected ? "lost" : "cannot reach",
                  qUtf8Printable(describeBroker(m_broker)), qUtf8Printable(m_lastProblem));
    }
    if (wasConnected)
        post(StateChanged{false});
}

void MqttConnection::onConnect(mosquitto*, void* self, int rc) {
    auto* const connection = static_cast<MqttConnection*>(self);
    if (rc != 0) {
        // The broker closes the connection next; lose() reports this reason.
        connection->m_lastProblem = QString::fromUtf8(mosquitto_connack_string(rc));
        connection->m_turnedAway = true;
        return;
    }
    connection->m_connecting = false;
    connection->m_connected = true;
    connection->m_lastProblem.clear();
    connection->m_turnedAway = false;
    if (connection->m_backoff.connected())
        qCInfo(lcDde, "connected to the MQTT broker %s again",
               qUtf8Printable(describeBroker(connection->m_broker)));
    for (auto it = connection->m_subscriptions.cbegin(); it != connection->m_subscriptions.cend(); ++it)
        connection->sendSubscription(it.key(), it.value());
    connection->post(StateChanged{true});
}

void MqttConnection::onDisconnect(mosquitto*, void* self, int /*rc*/) {
    auto* const connection = static_cast<MqttConnection*>(self);
    connection->lose(QStringLiteral("the broker closed the connection"));
}

void MqttConnection::onPublish(mosquitto*, void* self, int messageId) {
    auto* const connection = static_cast<MqttConnection*>(self);
    connection->m_awaitingAck.remove(messageId);
    connection->post(Acknowledged{messageId});
}

void MqttConnection::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* const connection = static_cast<MqttConnection*>(self);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    if (topic == connection->m_echoTopic) {
        connection->m_echoSeen = std::max(connection->m_echoSeen, payload.toULongLong());
        return;
    }
    if (connection->m_tracked.contains(topic))
        connection->m_latest.insert(topic, payload);
    connection->post(Received{topic, payload, message->retain});
}

std::optional<int> MqttConnection::publish(const QString& topic, const QByteArray& payload, int qos,
                                           bool retain) {
    if (!m_connected)
        return std::nullopt;
    int messageId = 0;
    const int rc = mosquitto_publish(m_mosq.get(), &messageId, topic.toUtf8().constData(),
                                     static_cast<int>(payload.size()), payload.constData(), qos, retain);
    if (rc != MOSQ_ERR_SUCCESS) {
        qCWarning(lcDde, "cannot publish over MQTT to %s (%s)", qUtf8Printable(topic),
                  qUtf8Printable(libraryError(rc)));
        return std::nullopt;
    }
    if (qos > 0)
        m_awaitingAck.insert(messageId);
    updateWriteInterest();
    return messageId;
}

void MqttConnection::subscribe(const QString& topicFilter, int qos) {
    if (m_subscriptions.value(topicFilter, -1) == qos)
        return;
    m_subscriptions.insert(topicFilter, qos);
    if (m_connected)
        sendSubscription(topicFilter, qos);
}

void MqttConnection::sendSubscription(const QString& topicFilter, int qos) {
    const int rc = mosquitto_subscribe(m_mosq.get(), nullptr, topicFilter.toUtf8().constData(), qos);
    if (rc != MOSQ_ERR_SUCCESS)
        qCWarning(lcDde, "cannot subscribe over MQTT to %s (%s)", qUtf8Printable(topicFilter),
                  qUtf8Printable(libraryError(rc)));
    updateWriteInterest();
}

void MqttConnection::track(const QString& topic) {
    m_tracked.insert(topic);
}

std::optional<QByteArray> MqttConnection::latest(const QString& topic) const {
    const auto found = m_latest.constFind(topic);
    if (found == m_latest.constEnd())
        return std::nullopt;
    return *found;
}

bool MqttConnection::waitForConnected(QDeadlineTimer deadline) {
    if (!m_connecting && !m_connected)
        connectNow();
    return driveUntil([this] { return m_connected; }, deadline);
}

bool MqttConnection::waitForAcknowledgement(int messageId, QDeadlineTimer deadline) {
    return driveUntil([this, messageId] { return !m_awaitingAck.contains(messageId); }, deadline) &&
           m_connected;
}

bool MqttConnection::waitForRoundTrip(QDeadlineTimer deadline) {
    if (!m_connected)
        return false;
    if (!m_echoSubscribed) {
        // Not kept among the subscriptions: a new connection subscribes anew on its first round trip.
        mosquitto_subscribe(m_mosq.get(), nullptr, m_echoTopic.toUtf8().constData(), 0);
        m_echoSubscribed = true;
    }
    const quint64 token = ++m_echoSent;
    const QByteArray payload = QByteArray::number(token);
    if (mosquitto_publish(m_mosq.get(), nullptr, m_echoTopic.toUtf8().constData(),
                          static_cast<int>(payload.size()), payload.constData(), 0,
                          false) != MOSQ_ERR_SUCCESS)
        return false;
    return driveUntil([this, token] { return m_echoSeen >= token; }, deadline);
}

bool MqttConnection::readPending() const {
    const int fd = mosquitto_socket(m_mosq.get());
    if (fd < 0)
        return false;
    if (hasInput(fd))
        return true;
    // Bytes already decrypted wait in the TLS layer, where the socket's readiness cannot show them.
    auto* const ssl = static_cast<SSL*>(mosquitto_ssl_get(m_mosq.get()));
    return ssl != nullptr && SSL_pending(ssl) > 0;
}

void MqttConnection::readSocket() {
    for (int i = 0; i < ReadsPerActivation && (m_connecting || m_connected); ++i) {
        const int rc = mosquitto_loop_read(m_mosq.get(), 1);
        if (rc != MOSQ_ERR_SUCCESS) {
            lose(libraryError(rc));
            return;
        }
        if (!readPending())
            break;
    }
    updateWriteInterest();
}

void MqttConnection::writeSocket() {
    const int rc = mosquitto_loop_write(m_mosq.get(), 1);
    if (rc != MOSQ_ERR_SUCCESS) {
        lose(libraryError(rc));
        return;
    }
    updateWriteInterest();
}

void MqttConnection::housekeeping() {
    if (m_connecting && m_connectStarted.hasExpired(ConnectLimit.count())) {
        mosquitto_disconnect(m_mosq.get());
        lose(QStringLiteral("no answer from the broker"));
        return;
    }
    const int rc = mosquitto_loop_misc(m_mosq.get());
    if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_NO_CONN) {
        lose(libraryError(rc));
        return;
    }
    updateWriteInterest();
}

void MqttConnection::updateWriteInterest() {
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(mosquitto_want_write(m_mosq.get()));
}

bool MqttConnection::driveUntil(const std::function<bool()>& done, QDeadlineTimer deadline) {
    ++m_driving;
    bool reached = false;
    while (true) {
        if (done()) {
            reached = true;
            break;
        }
        const int fd = m_mosq ? mosquitto_socket(m_mosq.get()) : -1;
        if ((!m_connecting && !m_connected) || fd < 0 || deadline.hasExpired())
            break;
        const qint64 remaining = deadline.remainingTime();
        int timeoutMs =
            remaining < 0 ? HousekeepingMs : static_cast<int>(std::min<qint64>(remaining, HousekeepingMs));
        if (readPending())
            timeoutMs = 0;
        pollfd entry{fd, static_cast<short>(POLLIN | (mosquitto_want_write(m_mosq.get()) ? POLLOUT : 0)), 0};
        if (::poll(&entry, 1, timeoutMs) < 0 && errno != EINTR)
            break;
        int rc = MOSQ_ERR_SUCCESS;
        if ((entry.revents & POLLOUT) != 0)
            rc = mosquitto_loop_write(m_mosq.get(), 1);
        if (rc == MOSQ_ERR_SUCCESS && ((entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0 || readPending()))
            rc = mosquitto_loop_read(m_mosq.get(), 1);
        if (rc == MOSQ_ERR_SUCCESS)
            rc = mosquitto_loop_misc(m_mosq.get());
        if (rc != MOSQ_ERR_SUCCESS) {
            lose(libraryError(rc));
            break;
        }
    }
    --m_driving;
    updateWriteInterest();
    if (!m_events.empty())
        QMetaObject::invokeMethod(this, &MqttConnection::deliverEvents, Qt::QueuedConnection);
    return reached;
}

void MqttConnection::post(Event event) {
    // Callbacks run inside the library's own loop, and waits run inside callers: either way, a
    // receiver must not run now. The events go out from the event loop, in order.
    const bool wasEmpty = m_events.empty();
    m_events.push_back(std::move(event));
    if (wasEmpty && m_driving == 0)
        QMetaObject::invokeMethod(this, &MqttConnection::deliverEvents, Qt::QueuedConnection);
}

void MqttConnection::deliverEvents() {
    if (m_delivering || m_driving > 0)
        return;
    m_delivering = true;
    while (!m_events.empty()) {
        const Event event = std::move(m_events.front());
        m_events.pop_front();
        if (const auto* received = std::get_if<Received>(&event)) {
            Q_EMIT messageReceived(received->topic, received->payload, received->retained);
        } else if (const auto* acknowledgement = std::get_if<Acknowledged>(&event)) {
            Q_EMIT acknowledged(acknowledgement->messageId);
        } else if (std::get<StateChanged>(event).connected) {
            Q_EMIT connected();
        } else {
            Q_EMIT disconnected();
        }
    }
    m_delivering = false;
}

} // namespace velmor
