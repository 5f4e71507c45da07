#pragma once

#include "hvlink/dde_link.h"
#include "platform/mqtt/mqtt_dde_topics.h"

#include <optional>

namespace velmor {

class MqttConnection;

// A DDE client link carried over MQTT, on the program's one broker connection. The application
// answers when it keeps the retained value "online" on its state topic; an Automatic link subscribes
// to the item's topic and takes each message published there (not a retained one) as one new value;
// a poke publishes to the item's "set" topic at QoS 1 and succeeds once the broker acknowledged it
// while the controller was online. Every wait lasts at most MqttConnection::WaitLimit and runs no
// other handler; values that arrive meanwhile are delivered after it.
class MqttDdeLink : public DdeLink {
    Q_OBJECT
public:
    explicit MqttDdeLink(MqttConnection& connection, QObject* parent = nullptr);

    void setLinkTopic(const QString& topic) override;
    void setLinkItem(const QString& item) override;
    void setLinkMode(int mode) override;
    void poke(const QString& value) override;

    // The mode of the link that is open, None when there is none.
    [[nodiscard]] int mode() const { return m_mode; }

private:
    [[nodiscard]] bool controllerOnline() const;
    void onMessage(const QString& topic, const QByteArray& payload, bool retained);

    MqttConnection& m_connection;
    QString m_topic;
    QString m_item;
    int m_mode = None;
    std::optional<MqttDdeTopics> m_topics;
    bool m_warnedOfRetained = false;
};

} // namespace velmor
