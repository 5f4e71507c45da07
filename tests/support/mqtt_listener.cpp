#include "tests/support/mqtt_listener.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

namespace velmor::test {

MqttBrokerAddress brokerAt(const QString& url) {
    return std::get<MqttBrokerAddress>(parseMqttBrokerAddress(url));
}

HeardMatch is(const char* topic, const char* payload) {
    return [=](const Heard& heard) { return heard.topic == topic && heard.payload == payload; };
}

HeardMatch live(const char* topic, const char* payload) {
    return [=](const Heard& heard) { return heard == Heard{topic, payload, false}; };
}

MqttListener::MqttListener(const QString& url, std::initializer_list<const char*> topics)
    : m_connection(brokerAt(url), QStringLiteral("listener")) {
    for (const char* topic : topics)
        m_connection.subscribe(QLatin1String(topic), 1);
    QObject::connect(&m_connection, &MqttConnection::messageReceived,
                     [this](const QString& topic, const QByteArray& payload, bool retained) {
                         m_heard.push_back({topic.toStdString(), payload.toStdString(), retained});
                     });
    m_connection.start();
}

void MqttListener::publish(const char* topic, const QByteArray& payload, bool retain) {
    ASSERT_TRUE(m_connection.waitForConnected(QDeadlineTimer(MqttConnection::WaitLimit)));
    const auto id = m_connection.publish(QLatin1String(topic), payload, 1, retain);
    ASSERT_TRUE(id && m_connection.waitForAcknowledgement(*id, QDeadlineTimer(MqttConnection::WaitLimit)));
}

void MqttListener::sync() {
    ASSERT_TRUE(m_connection.waitForRoundTrip(QDeadlineTimer(MqttConnection::WaitLimit)));
    QCoreApplication::processEvents();
}

std::size_t MqttListener::count(const HeardMatch& which) const {
    return static_cast<std::size_t>(std::ranges::count_if(m_heard, which));
}

bool MqttListener::waitFor(const HeardMatch& which, std::size_t atLeast) {
    return QTest::qWaitFor([&] { return count(which) >= atLeast; }, WaitMs);
}

} // namespace velmor::test
