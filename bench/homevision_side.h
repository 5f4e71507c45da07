#pragma once

#include "hvlink/dde_items.h"
#include "tools/homevision/dde_topic_server.h"

#include <QDBusConnection>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>

namespace velmor::bench {

// The benchmark's own HomeVision: serves HOMEVIS|DDE (or another application's DDE topic) on the bus in
// this process, so that it can time
// each message from the moment it goes out to the moment Velmor's acknowledgement poke arrives.
class HomeVisionSide : public QObject {
    Q_OBJECT
public:
    using Duration = std::chrono::steady_clock::duration;
    static constexpr int WaitTimeoutMs = 10000;

    // Serves the DDE application of that name (HOMEVIS unless told otherwise) on the bus.
    explicit HomeVisionSide(QDBusConnection bus, QString application = HomeVisionApplication,
                            QObject* parent = nullptr);
    ~HomeVisionSide() override;

    // Takes the topic's object and bus name.
    [[nodiscard]] bool serve();
    // Waits until the client with this process id opened all four links of the conversation.
    [[nodiscard]] bool waitForClient(qint64 pid);
    // Lets the client settle: serves the bus for this long.
    void idle(int ms);

    // Delivers a message and waits for its acknowledgement; the time between, or nothing on time-out.
    [[nodiscard]] std::optional<Duration> roundTrip(const QString& message);
    // A bare method call and its reply to the client's connection, answered by the client's D-Bus
    // library alone: what the bus itself costs between the two processes.
    [[nodiscard]] std::optional<Duration> ping();

    // The client's unique bus name, known once it opened its links.
    [[nodiscard]] const QString& clientName() const { return m_clientName; }

private:
    void onReceived(const QString& call, const QString& item);
    bool waitUntil(const bool& done);

    QDBusConnection m_bus;
    QString m_service;
    homevision::DdeTopicServer m_server;
    QEventLoop m_loop;
    QTimer m_timeout;
    QString m_clientName;
    std::chrono::steady_clock::time_point m_ackArrived;
    int m_initiates = 0;
    bool m_acknowledged = false;
    bool m_clientReady = false;
};

} // namespace velmor::bench
