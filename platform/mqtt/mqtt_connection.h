#pragma once

#include "platform/common/reconnect_backoff.h"
#include "platform/mqtt/mosquitto_client.h"
#include "platform/mqtt/mqtt_broker_address.h"
#include "platform/mqtt/mqtt_echo_probe.h"
#include "platform/mqtt/ordered_delivery.h"
#include "platform/mqtt/retained_value_watch.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace velmor {

// The program's one session with the MQTT broker, shared by everything that publishes or subscribes.
// A refused or lost connection is made anew with growing pauses, and every subscription is made again
// after each connect. The blocking waits below drive this connection's socket alone, so no other
// handler runs inside them; what arrives meanwhile is told afterwards, in arrival order. The password
// is never written anywhere.
class MqttConnection : public QObject, private MosquittoClient::Listener {
    Q_OBJECT
public:
    // The longest any wait of a caller lasts.
    static constexpr std::chrono::milliseconds WaitLimit{5000};
    static constexpr int KeepAliveSeconds = 30;

    MqttConnection(MqttBrokerAddress broker, const QString& clientIdPrefix, QObject* parent = nullptr);
    // Leaves the broker with a clean disconnect (so no will is published) when connected.
    ~MqttConnection() override;

    // The message the broker publishes should this client vanish without a clean disconnect. Used
    // from the next connect on.
    void setWill(const QString& topic, const QByteArray& payload, int qos, bool retain);
    // Begins connecting, on the event loop; a second call changes nothing.
    void start();
    [[nodiscard]] bool isConnected() const { return m_state == State::Connected; }
    [[nodiscard]] const MqttBrokerAddress& broker() const { return m_client.broker(); }
    // Why the last attempt failed or the connection ended; nothing while connected.
    [[nodiscard]] const std::optional<QString>& lastProblem() const { return m_lastProblem; }
    // Whether the last attempt reached a broker that turned the client away (a refused login, say).
    [[nodiscard]] bool wasTurnedAway() const { return m_state == State::TurnedAway; }
    // The retained values of the topics someone asked about.
    [[nodiscard]] RetainedValueWatch& retainedValues() { return m_retained; }

    // Publishes at QoS 0 or 1. Returns the message id, which waitForAcknowledgement() takes; nothing
    // when not connected or the library refused.
    std::optional<int> publish(const QString& topic, const QByteArray& payload, int qos, bool retain);
    // Subscribes now (when connected) and after every later connect.
    void subscribe(const QString& topicFilter, int qos);

    // Blocking, bounded waits that run no other handler.
    // Starts connecting if need be and waits for the broker's welcome.
    bool waitForConnected(QDeadlineTimer deadline);
    // Waits for the broker's PUBACK of this QoS 1 message.
    bool waitForAcknowledgement(int messageId, QDeadlineTimer deadline);
    // Waits until the broker has sent everything it owes for what this client sent so far.
    bool waitForRoundTrip(QDeadlineTimer deadline);

Q_SIGNALS:
    void connected();
    void disconnected();
    // A message on a subscribed topic; `retained` when the broker sent a stored value on subscribing.
    void messageReceived(const QString& topic, const QByteArray& payload, bool retained);

private:
    enum class State {
        Idle,       // not started yet
        Offline,    // between attempts: the first is due, or the back-off's pause runs
        TurnedAway, // as Offline, but the broker refused the last attempt (its socket may still close)
        Connecting, // the socket is open, the broker's welcome not yet in
        Connected,
        Closing, // the goodbye of the destructor
        Closed,
    };

    void welcomed() override;
    void turnedAway(const QString& why) override;
    void closed(const QString& why) override;
    void published(int messageId) override;
    void arrived(const QString& topic, const QByteArray& payload, bool retained) override;

    void connectNow();
    bool driveUntil(const std::function<bool()>& done, QDeadlineTimer deadline);

    State m_state = State::Idle;
    MosquittoClient m_client;
    MqttEchoProbe m_echo;
    RetainedValueWatch m_retained;
    OrderedDelivery m_delivery;
    ReconnectBackoff m_backoff;
    QTimer m_handshakeLimit;
    std::optional<QString> m_lastProblem;
    QHash<QString, int> m_subscriptions;
    QSet<int> m_awaitingAck;
};

} // namespace velmor
