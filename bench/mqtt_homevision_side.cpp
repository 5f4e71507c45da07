#include "bench/mqtt_homevision_side.h"

namespace velmor::bench {

namespace {

const QString Base = QStringLiteral("velmor/HOMEVIS/DDE");
const QString FloorBase =
    QStringLiteral("velmor/") + MqttHomeVisionSide::FloorApplication + QStringLiteral("/DDE");

} // namespace

MqttHomeVisionSide::MqttHomeVisionSide(MqttBrokerAddress broker, QObject* parent)
    : QObject(parent)
    , m_connection(std::move(broker), QStringLiteral("bench")) {
    m_connection.setWill(Base + QStringLiteral("/state"), "offline", 1, true);
    connect(&m_connection, &MqttConnection::messageReceived, this, &MqttHomeVisionSide::onMessage);
}

bool MqttHomeVisionSide::serve() {
    const QDeadlineTimer deadline(WaitTimeoutMs);
    if (!m_connection.waitForConnected(deadline))
        return false;
    m_connection.subscribe(Base + QStringLiteral("/DDEMessageAcknowledge/set"), 1);
    m_connection.subscribe(FloorBase + QStringLiteral("/DDECommandAcknowledge"), 1);
    const auto id = m_connection.publish(Base + QStringLiteral("/state"), "online", 1, true);
    return id && m_connection.waitForAcknowledgement(*id, deadline) &&
           m_connection.waitForRoundTrip(deadline);
}

bool MqttHomeVisionSide::waitForVelmor(int warmUp) {
    constexpr int LinkAttempts = 50;
    constexpr int LinkAttemptMs = 200;
    bool linked = false;
    for (int i = 0; i < LinkAttempts && !linked; ++i)
        linked = roundTrip(nextMessage(), LinkAttemptMs).has_value();
    for (int i = 0; linked && i < warmUp; ++i)
        linked = roundTrip(nextMessage()).has_value();
    return linked;
}

std::optional<MqttHomeVisionSide::Duration> MqttHomeVisionSide::roundTrip(const QString& message,
                                                                          int timeoutMs) {
    return publishAndWait(Base + QStringLiteral("/DDEMessage"), message.toUtf8(),
                          Base + QStringLiteral("/DDEMessageAcknowledge/set"), timeoutMs);
}

std::optional<MqttHomeVisionSide::Duration> MqttHomeVisionSide::floor() {
    return publishAndWait(FloorBase + QStringLiteral("/DDECommand/set"), ",T0000",
                          FloorBase + QStringLiteral("/DDECommandAcknowledge"), WaitTimeoutMs);
}

std::optional<MqttHomeVisionSide::Duration> MqttHomeVisionSide::publishAndWait(const QString& topic,
                                                                               const QByteArray& payload,
                                                                               const QString& answer,
                                                                               int timeoutMs) {
    m_awaited = answer;
    m_answered = false;
    const auto sent = std::chrono::steady_clock::now();
    if (!m_connection.publish(topic, payload, 1, false))
        return std::nullopt;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    timeout.start(timeoutMs);
    // The answer may already be in: the loop only runs when it is not.
    if (!m_answered)
        m_loop.exec();
    if (!m_answered)
        return std::nullopt;
    return m_arrived - sent;
}

void MqttHomeVisionSide::onMessage(const QString& topic, const QByteArray& /*payload*/, bool retained) {
    if (retained || m_answered || topic != m_awaited)
        return;
    m_arrived = std::chrono::steady_clock::now();
    m_answered = true;
    m_loop.quit();
}

} // namespace velmor::bench
