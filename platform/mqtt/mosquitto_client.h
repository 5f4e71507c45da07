#pragma once

#include "platform/mqtt/mqtt_broker_address.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;

namespace velmor {

// libmosquitto on the Qt event loop: socket notifiers for reading and (while the library has something
// to send) writing, and a timer for its keep-alive; no thread of the library's. It holds one socket at a
// time and never tries again by itself: what happens after a failure is its listener's choice.
class MosquittoClient : public QObject {
    Q_OBJECT
public:
    // Told from inside the library's own loop (a notifier's turn or drive()), so an implementation
    // records what happened and leaves running other code for later.
    class Listener {
    public:
        virtual void welcomed() = 0;
        // The broker answered the connect with a refusal; it closes the socket next.
        virtual void turnedAway(const QString& why) = 0;
        // The socket is gone; the client is closed and may be opened again.
        virtual void closed(const QString& why) = 0;
        // The broker's PUBACK of a QoS 1 message, or the sending of a QoS 0 one.
        virtual void published(int messageId) = 0;
        virtual void arrived(const QString& topic, const QByteArray& payload, bool retained) = 0;

    protected:
        ~Listener() = default;
    };

    MosquittoClient(MqttBrokerAddress broker, QString clientId, Listener& listener,
                    QObject* parent = nullptr);
    ~MosquittoClient() override;
    MosquittoClient(const MosquittoClient&) = delete;
    MosquittoClient& operator=(const MosquittoClient&) = delete;

    [[nodiscard]] const MqttBrokerAddress& broker() const { return m_broker; }
    [[nodiscard]] const QString& clientId() const { return m_clientId; }
    // Used from the next open() on.
    void setWill(const QString& topic, const QByteArray& payload, int qos, bool retain);
    // Opens the socket and sends the connect; why not, when it cannot.
    [[nodiscard]] std::optional<QString> open(int keepAliveSeconds);
    [[nodiscard]] bool isOpen() const { return m_readNotifier != nullptr; }
    // Gives up on an open socket that the broker leaves unanswered; the listener hears closed(why).
    void abandon(const QString& why);
    // The clean goodbye (no will is published), each step waiting at most `limit` for the socket.
    void sayGoodbye(std::chrono::milliseconds limit);

    // The message id, or nothing when the library would not take the message (a warning says why).
    std::optional<int> publish(const QString& topic, const QByteArray& payload, int qos, bool retain);
    void subscribe(const QString& topicFilter, int qos);

    // Reads and writes this socket alone until done() holds, the deadline passes or the socket closes,
    // so no other handler runs meanwhile. Whether done() held.
    bool drive(const std::function<bool()>& done, QDeadlineTimer deadline);

private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int messageId);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);

    void fail(const QString& why);
    void readSocket();
    void writeSocket();
    void housekeeping();
    void updateWriteInterest();
    [[nodiscard]] bool readPending() const;

    MqttBrokerAddress m_broker;
    QString m_clientId;
    Listener& m_listener;
    std::unique_ptr<mosquitto, void (*)(mosquitto*)> m_mosq;
    // Both exist exactly while a socket is open.
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QTimer m_housekeeping;
};

} // namespace velmor
