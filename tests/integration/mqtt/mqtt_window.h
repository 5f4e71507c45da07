#pragma once

#include "platform/mqtt/mqtt_connection.h"
#include "platform/mqtt/mqtt_dde_link.h"
#include "tests/support/homevision_process.h"
#include "tests/support/mqtt_listener.h"
#include "tests/support/window_on_links.h"

#include <QTest>

namespace velmor::test {

// The broker connection, made before the links that use it and ended after them.
struct BrokerConnection {
    explicit BrokerConnection(const QString& url)
        : connection(brokerAt(url), QStringLiteral("velmor-test")) {
        connection.start();
    }
    MqttConnection connection;
};

// The main window as the program builds it over MQTT: one broker connection, four links on it.
class MqttWindow : public BrokerConnection, public WindowOnLinks<MqttDdeLink> {
public:
    explicit MqttWindow(const QString& url)
        : BrokerConnection(url)
        , WindowOnLinks([this] { return std::make_unique<MqttDdeLink>(connection); }) {}

    // Waits, running the event loop, until the command goes through (or fails, as asked).
    bool waitUntilSendGives(qint16 status) {
        return QTest::qWaitFor([&] { return send(QStringLiteral(",T0000")) == status; },
                               HomeVisionProcess::WaitTimeoutMs);
    }
};

} // namespace velmor::test
