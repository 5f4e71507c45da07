#pragma once

#include "tools/homevision/topic_endpoint.h"

#include <QString>

#include <optional>

namespace velmor {
class MqttConnection;
}

namespace velmor::homevision {

// The server side of one DDE topic on an MQTT broker: keeps the retained value "online" on
// velmor/APP/TOPIC/state while it serves (its will and its goodbye set "offline"), takes each message on
// velmor/APP/TOPIC/ITEM/set as a poke of ITEM, and publishes an item's new value on velmor/APP/TOPIC/ITEM.
// MQTT does not tell who listens, so no advise is ever reported.
class MqttTopicServer : public TopicEndpoint {
    Q_OBJECT
public:
    MqttTopicServer(MqttConnection& connection, const QString& application, const QString& topic,
                    QObject* parent = nullptr);
    // Says "offline" before the connection ends.
    ~MqttTopicServer() override;

    // Connects, listens for pokes and says "online"; why it cannot, if it cannot.
    [[nodiscard]] std::optional<QString> serve();

    void setItem(const QString& item, const QString& value) override;
    [[nodiscard]] bool tellsAdvises() const override { return false; }

private:
    void onMessage(const QString& topic, const QByteArray& payload, bool retained);

    MqttConnection& m_connection;
    QString m_base;
    bool m_serving = false;
    bool m_lost = false;
};

} // namespace velmor::homevision
