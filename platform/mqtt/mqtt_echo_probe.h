#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmor {

class MosquittoClient;

// Tells when the broker has sent everything it owes for what this client sent so far (the retained
// values of new subscriptions included): a message to the client's own topic comes back behind all of
// it, since a broker keeps one client's packets in order. Its topic is no subscription of the
// connection's: each new connection subscribes anew on its first round trip.
class MqttEchoProbe {
public:
    MqttEchoProbe(MosquittoClient& client, const QString& clientId);

    // Sends the next echo on the open connection: the token that returned() then waits for.
    [[nodiscard]] std::optional<quint64> send();
    [[nodiscard]] bool returned(quint64 token) const { return m_seen >= token; }
    // Takes a message that arrived: true when it was an echo, which nobody else is to see.
    bool take(const QString& topic, const QByteArray& payload);
    // The connection ended; the broker forgot the subscription with it.
    void connectionEnded() { m_subscribed = false; }

private:
    MosquittoClient& m_client;
    QString m_topic;
    bool m_subscribed = false;
    quint64 m_sent = 0;
    quint64 m_seen = 0;
};

} // namespace velmor
