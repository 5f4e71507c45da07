#pragma once

#include "platform/mqtt/mqtt_broker_address.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <mosquitto.h>
#include <optional>

class QSocketNotifier;

namespace velmor {

// libmosquitto on the Qt event loop: socket notifiers for reading and (while the library has something
// to send) writing, and a timer for its keep-alive; no thread of the library's. It holds one socket at a
// time and never tries again by itself: what happens after a failure is its listener's choice. Each
// open() starts a session of the library's afresh, so a QoS 1 message that a closed connection left
// unacknowledged is never sent again: a command is delivered at most once. It speaks MQTT 5, whose
// acknowledgements say when the broker refuses a message or a subscription.
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
        // The broker's PUBACK of a QoS 1 message, or the sending of a QoS 0 one, with the broker's
        // reason code (MQTT 5: 0x80 and above is a refusal).
        virtual void published(int messageId, const QString& topic, int reasonCode) = 0;
        // The broker's SUBACK: the granted QoS, or a reason code of 0x80 and above for a refusal.
        virtual void subscribed(const QString& topicFilter, int grantedOrReason) = 0;
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
    std::optional<int> subscribe(const QString& topicFilter, int qos);

    // Reads and writes this socket alone until done() holds, the deadline passes or the socket closes,
    // so no handler of this connection runs meanwhile. Whether done() held.
    bool drive(const std::function<bool()>& done, QDeadlineTimer deadline);
    // Called every few milliseconds while drive() waits, for the rest of the program to keep its turns.
    void setWaitingTurn(std::function<void()> turn) { m_waitingTurn = std::move(turn); }

    // What the broker's reason codes say, in its own words.
    [[nodiscard]] static QString reasonText(int reasonCode);

private:
    struct Will {
        QString topic;
        QByteArray payload;
        int qos;
        bool retain;
    };
    using Session = std::unique_ptr<mosquitto, void (*)(mosquitto*)>;

    [[nodiscard]] Session newSession();
    static void onConnect(mosquitto*, void* self, int rc, int flags, const mosquitto_property*);
    static void onDisconnect(mosquitto*, void* self, int rc, const mosquitto_property*);
    static void onPublish(mosquitto*, void* self, int messageId, int reasonCode, const mosquitto_property*);
    static void onSubscribe(mosquitto*, void* self, int messageId, int count, const int* granted,
                            const mosquitto_property*);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message,
                          const mosquitto_property*);

    void fail(const QString& why);
    void readSocket();
    void writeSocket();
    void housekeeping();
    void updateWriteInterest();
    [[nodiscard]] bool readPending() const;

    MqttBrokerAddress m_broker;
    QString m_clientId;
    Listener& m_listener;
    std::optional<Will> m_will;
    // A new one for every connection; the one of a closed connection stays until the next open().
    Session m_mosq;
    std::function<void()> m_waitingTurn;
    // What each publish and subscribe not yet acknowledged was about, for the acknowledgement to tell.
    QHash<int, QString> m_topicOf;
    // Both exist exactly while a socket is open.
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QTimer m_housekeeping;
};

} // namespace velmor
