#pragma once

#include "platform/common/reconnect_backoff.h"
#include "platform/mqtt/mqtt_broker_address.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;

namespace velmor {

// The program's one connection to the MQTT broker, shared by everything that publishes or subscribes.
// libmosquitto runs on the Qt event loop: socket notifiers for reading and (while the library has
// something to send) writing, and a timer for its keep-alive; no thread of the library's. A refused
// or lost connection is made anew with growing pauses, and every subscription is made again after
// each connect. The blocking waits below drive this connection's socket alone, so no other handler
// runs inside them; what arrives meanwhile is told afterwards, in arrival order. The password is
// never written anywhere.
class MqttConnection : public QObject {
    Q_OBJECT
public:
    // The longest any wait of a caller lasts.
    static constexpr std::chrono::milliseconds WaitLimit{5000};
    static constexpr int KeepAliveSeconds = 30;

    MqttConnection(MqttBrokerAddress broker, QString clientIdPrefix, QObject* parent = nullptr);
    // Leaves the broker with a clean disconnect (so no will is published) when connected.
    ~MqttConnection() override;

    // The message the broker publishes should this client vanish without a clean disconnect. Used
    // from the next connect on.
    void setWill(const QString& topic, const QByteArray& payload, int qos, bool retain);
    // Begins connecting, on the event loop; a second call changes nothing.
    void start();
    [[nodiscard]] bool isConnected() const { return m_connected; }
    [[nodiscard]] const MqttBrokerAddress& broker() const { return m_broker; }
    // Why the last attempt failed or the connection ended; empty while connected.
    [[nodiscard]] const QString& lastProblem() const { return m_lastProblem; }
    // Whether the last attempt reached a broker that turned the client away (a refused login, say).
    [[nodiscard]] bool wasTurnedAway() const { return m_turnedAway; }

    // Publishes at QoS 0 or 1. Returns the message id, whose acknowledged() follows the broker's
    // PUBACK (QoS 1) or the sending (QoS 0); nothing when not connected or the library refused.
    std::optional<int> publish(const QString& topic, const QByteArray& payload, int qos, bool retain);
    // Subscribes now (when connected) and after every later connect. The latest payload of each topic
    // named in track() is kept too, and forgotten when the connection ends.
    void subscribe(const QString& topicFilter, int qos);
    void track(const QString& topic);
    [[nodiscard]] std::optional<QByteArray> latest(const QString& topic) const;

    // Blocking, bounded waits that run no other handler.
    // Starts connecting if need be and waits for the broker's welcome.
    bool waitForConnected(QDeadlineTimer deadline);
    // Waits for the broker's PUBACK of this QoS 1 message.
    bool waitForAcknowledgement(int messageId, QDeadlineTimer deadline);
    // Waits until the broker has sent everything it owes for what this client sent so far (retained
    // messages of new subscriptions included): a message to this client's own topic comes back.
    bool waitForRoundTrip(QDeadlineTimer deadline);

Q_SIGNALS:
    void connected();
    void disconnected();
    // A message on a subscribed topic; `retained` when the broker sent a stored value on subscribing.
    void messageReceived(const QString& topic, const QByteArray& payload, bool retained);
    void acknowledged(int messageId);

private:
    struct Received {
        QString topic;
        QByteArray payload;
        bool retained;
    };
    struct Acknowledged {
        int messageId;
    };
    struct StateChanged {
        bool connected;
    };
    using Event = std::variant<Received, Acknowledged, StateChanged>;

    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int messageId);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);

    void connectNow();
    void watchSocket();
    void lose(const QString& reason);
    void sendSubscription(const QString& topicFilter, int qos);
    void readSocket();
    void writeSocket();
    void housekeeping();
    void updateWriteInterest();
    bool readPending() const;
    // Drives the socket until done() holds, the deadline passes or the connection ends.
    bool driveUntil(const std::function<bool()>& done, QDeadlineTimer deadline);
    void post(Event event);
    void deliverEvents();

    MqttBrokerAddress m_broker;
    QString m_clientId;
    std::unique_ptr<mosquitto, void (*)(mosquitto*)> m_mosq;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QTimer m_housekeeping;
    ReconnectBackoff m_backoff;
    bool m_started = false;
    bool m_connecting = false;
    bool m_connected = false;
    bool m_closing = false;
    QString m_lastProblem;
    bool m_turnedAway = false;
    QElapsedTimer m_connectStarted;
    QHash<QString, int> m_subscriptions;
    QSet<QString> m_tracked;
    QHash<QString, QByteArray> m_latest;
    QSet<int> m_awaitingAck;
    QString m_echoTopic;
    bool m_echoSubscribed = false;
    quint64 m_echoSent = 0;
    quint64 m_echoSeen = 0;
    std::deque<Event> m_events;
    int m_driving = 0;
    bool m_delivering = false;
};

} // namespace velmor
