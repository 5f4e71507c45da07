#pragma once

#include "platform/mqtt/mqtt_connection.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>

namespace velmor::bench {

// The benchmark's own HomeVision over MQTT, in this process: keeps HOMEVIS|DDE online on the broker and
// times each message from its publish to the arrival of Velmor's acknowledgement. It also times the
// broker's floor: a command poked to a plain client (the HomeVision stand-in serving FLOOR|DDE) and its
// acknowledgement coming back, the same two trips through the broker without Velmor's work between.
class MqttHomeVisionSide : public QObject {
    Q_OBJECT
public:
    using Duration = std::chrono::steady_clock::duration;
    static constexpr int WaitTimeoutMs = 10000;
    static inline const QString FloorApplication = QStringLiteral("FLOOR");

    explicit MqttHomeVisionSide(MqttBrokerAddress broker, QObject* parent = nullptr);

    // Connects and says HOMEVIS|DDE is online.
    [[nodiscard]] bool serve();
    // Delivers messages until Velmor acknowledges one (its message link may not listen yet when the
    // first go out: they are lost, not late), then `warmUp` more; false when Velmor does not answer.
    [[nodiscard]] bool waitForVelmor(int warmUp);
    // A message not sent before.
    [[nodiscard]] QString nextMessage() { return QStringLiteral("Hallway motion detected %1").arg(m_sent++); }
    // Delivers a message and waits (at most `timeoutMs`) for its acknowledgement.
    [[nodiscard]] std::optional<Duration> roundTrip(const QString& message, int timeoutMs = WaitTimeoutMs);
    // Pokes a command to FLOOR|DDE and waits for its acknowledgement.
    [[nodiscard]] std::optional<Duration> floor();

private:
    std::optional<Duration> publishAndWait(const QString& topic, const QByteArray& payload,
                                           const QString& answer, int timeoutMs);
    void onMessage(const QString& topic, const QByteArray& payload, bool retained);

    MqttConnection m_connection;
    QEventLoop m_loop;
    qint64 m_sent = 0;
    QString m_awaited;
    std::chrono::steady_clock::time_point m_arrived;
    bool m_answered = false;
};

} // namespace velmor::bench
