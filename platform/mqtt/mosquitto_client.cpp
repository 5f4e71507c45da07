#include "platform/mqtt/mosquitto_client.h"

#include "core/log_categories.h"

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
// How many packets one notification reads at most before the event loop gets its turn.
constexpr int ReadsPerActivation = 256;

// The one place that turns the library's return codes into words.
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

MosquittoClient::MosquittoClient(MqttBrokerAddress broker, QString clientId, Listener& listener,
                                 QObject* parent)
    : QObject(parent)
    , m_broker(std::move(broker))
    , m_clientId(std::move(clientId))
    , m_listener(listener)
    , m_mosq(mosquitto_new(m_clientId.toUtf8().constData(), true, this), &mosquitto_destroy) {
    if (m_mosq) {
        mosquitto* const m = m_mosq.get();
        mosquitto_int_option(m, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
        mosquitto_int_option(m, MOSQ_OPT_TCP_NODELAY, 1);
        mosquitto_connect_callback_set(m, &MosquittoClient::onConnect);
        mosquitto_disconnect_callback_set(m, &MosquittoClient::onDisconnect);
        mosquitto_publish_callback_set(m, &MosquittoClient::onPublish);
        mosquitto_message_callback_set(m, &MosquittoClient::onMessage);
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
    connect(&m_housekeeping, &QTimer::timeout, this, &MosquittoClient::housekeeping);
}

MosquittoClient::~MosquittoClient() {
    m_readNotifier.reset();
    m_writeNotifier.reset();
}

void MosquittoClient::setWill(const QString& topic, const QByteArray& payload, int qos, bool retain) {
    if (m_mosq) {
        mosquitto_will_set(m_mosq.get(), topic.toUtf8().constData(), static_cast<int>(payload.size()),
                           payload.constData(), qos, retain);
    }
}

std::optional<QString> MosquittoClient::open(int keepAliveSeconds) {
    if (!m_mosq)
        return QStringLiteral("the MQTT library could not make a client");
    const int rc = mosquitto_connect_async(m_mosq.get(), m_broker.host.toUtf8().constData(), m_broker.port,
                                           keepAliveSeconds);
    const int fd = mosquitto_socket(m_mosq.get());
    if (rc != MOSQ_ERR_SUCCESS || fd < 0)
        return libraryError(rc);
    m_readNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &MosquittoClient::readSocket);
    m_writeNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &MosquittoClient::writeSocket);
    updateWriteInterest();
    m_housekeeping.start();
    return std::nullopt;
}

void MosquittoClient::abandon(const QString& why) {
    mosquitto_disconnect(m_mosq.get());
    fail(why);
}

void MosquittoClient::sayGoodbye(std::chrono::milliseconds limit) {
    if (!isOpen())
        return;
    // What was published last (a retained "offline", say) leaves before the goodbye.
    const auto flushed = [this] { return !mosquitto_want_write(m_mosq.get()); };
    static_cast<void>(drive(flushed, QDeadlineTimer(limit)));
    mosquitto_disconnect(m_mosq.get());
    static_cast<void>(drive(flushed, QDeadlineTimer(limit)));
}

void MosquittoClient::fail(const QString& why) {
    if (!isOpen())
        return;
    // This may run inside either notifier's own activation.
    for (auto* notifier : {&m_readNotifier, &m_writeNotifier}) {
        (*notifier)->setEnabled(false);
        notifier->release()->deleteLater();
    }
    m_housekeeping.stop();
    m_listener.closed(why);
}

void MosquittoClient::onConnect(mosquitto*, void* self, int rc) {
    auto* const client = static_cast<MosquittoClient*>(self);
    if (rc != 0)
        client->m_listener.turnedAway(QString::fromUtf8(mosquitto_connack_string(rc)));
    else
        client->m_listener.welcomed();
}

void MosquittoClient::onDisconnect(mosquitto*, void* self, int /*rc*/) {
    static_cast<MosquittoClient*>(self)->fail(QStringLiteral("the broker closed the connection"));
}

void MosquittoClient::onPublish(mosquitto*, void* self, int messageId) {
    static_cast<MosquittoClient*>(self)->m_listener.published(messageId);
}

void MosquittoClient::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    static_cast<MosquittoClient*>(self)->m_listener.arrived(
        QString::fromUtf8(message->topic),
        QByteArray(static_cast<const char*>(message->payload), message->payloadlen), message->retain);
}

std::optional<int> MosquittoClient::publish(const QString& topic, const QByteArray& payload, int qos,
                                            bool retain) {
    int messageId = 0;
    const int rc = mosquitto_publish(m_mosq.get(), &messageId, topic.toUtf8().constData(),
                                     static_cast<int>(payload.size()), payload.constData(), qos, retain);
    if (rc != MOSQ_ERR_SUCCESS) {
        qCWarning(lcMqtt, "cannot publish over MQTT to %s (%s)", qUtf8Printable(topic),
                  qUtf8Printable(libraryError(rc)));
        return std::nullopt;
    }
    updateWriteInterest();
    return messageId;
}

void MosquittoClient::subscribe(const QString& topicFilter, int qos) {
    const int rc = mosquitto_subscribe(m_mosq.get(), nullptr, topicFilter.toUtf8().constData(), qos);
    if (rc != MOSQ_ERR_SUCCESS)
        qCWarning(lcMqtt, "cannot subscribe over MQTT to %s (%s)", qUtf8Printable(topicFilter),
                  qUtf8Printable(libraryError(rc)));
    updateWriteInterest();
}

bool MosquittoClient::readPending() const {
    const int fd = mosquitto_socket(m_mosq.get());
    if (fd < 0)
        return false;
    if (hasInput(fd))
        return true;
    // Bytes already decrypted wait in the TLS layer, where the socket's readiness cannot show them.
    auto* const ssl = static_cast<SSL*>(mosquitto_ssl_get(m_mosq.get()));
    return ssl != nullptr && SSL_pending(ssl) > 0;
}

void MosquittoClient::readSocket() {
    for (int i = 0; i < ReadsPerActivation && isOpen(); ++i) {
        const int rc = mosquitto_loop_read(m_mosq.get(), 1);
        if (rc != MOSQ_ERR_SUCCESS) {
            fail(libraryError(rc));
            return;
        }
        if (!readPending())
            break;
    }
    updateWriteInterest();
}

void MosquittoClient::writeSocket() {
    const int rc = mosquitto_loop_write(m_mosq.get(), 1);
    if (rc != MOSQ_ERR_SUCCESS) {
        fail(libraryError(rc));
        return;
    }
    updateWriteInterest();
}

void MosquittoClient::housekeeping() {
    const int rc = mosquitto_loop_misc(m_mosq.get());
    if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_NO_CONN) {
        fail(libraryError(rc));
        return;
    }
    updateWriteInterest();
}

void MosquittoClient::updateWriteInterest() {
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(mosquitto_want_write(m_mosq.get()));
}

bool MosquittoClient::drive(const std::function<bool()>& done, QDeadlineTimer deadline) {
    bool reached = false;
    while (true) {
        if (done()) {
            reached = true;
            break;
        }
        const int fd = m_mosq ? mosquitto_socket(m_mosq.get()) : -1;
        if (!isOpen() || fd < 0 || deadline.hasExpired())
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
            fail(libraryError(rc));
            break;
        }
    }
    updateWriteInterest();
    return reached;
}

} // namespace velmor
