#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

namespace velmor {

class MqttConnection;

// The values the broker keeps on the topics asked about, as this connection last heard them: whether a
// controller is "online" for the DDE links, whether another copy is for the instance guard. Messages
// update it the moment they are read, inside a wait too, and it forgets everything when the connection
// ends: the broker sends each value again when the next connection subscribes.
class RetainedValueWatch {
public:
    explicit RetainedValueWatch(MqttConnection& connection);

    // Subscribes to the topic, now and after every reconnect, and makes sure the broker has sent the value
    // it keeps there, if any, waiting for a round trip unless the value is known already. False when the
    // broker did not answer before the deadline.
    bool refresh(const QString& topic, QDeadlineTimer deadline);
    [[nodiscard]] std::optional<QByteArray> latest(const QString& topic) const;

    // What the connection tells it.
    void take(const QString& topic, const QByteArray& payload);
    void connectionEnded() { m_latest.clear(); }

private:
    MqttConnection& m_connection;
    QSet<QString> m_watched;
    QHash<QString, QByteArray> m_latest;
};

} // namespace velmor
