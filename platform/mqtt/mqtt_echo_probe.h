#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

namespace velmor {

class MosquittoClient;

// Tells when the broker has sent everything it owes for what this client sent so far (the retained
// values of new subscriptions included): a message to the client's own topic comes back behind all of
// it, since a broker keeps one client's packets in order. Only the exact token of a probe counts, new and
// unguessable each time, so another client publishing on the topic cannot make a wait end early. Its
// topic is no subscription of the connection's: each new connection subscribes anew on its first round
// trip.
class MqttEchoProbe {
public:
    MqttEchoProbe(MosquittoClient& client, const QString& clientId);

    // Sends the next echo on the open connection: the token that returned() then waits for.
    [[nodiscard]] std::optional<QByteArray> send();
    [[nodiscard]] bool returned(const QByteArray& token) const { return !m_awaited.contains(token); }
    // Takes a message that arrived: true when it was on the echo topic, which nobody else is to see.
    bool take(const QString& topic, const QByteArray& payload);
    [[nodiscard]] const QString& topic() const { return m_topic; }
    // The connection ended; the broker forgot the subscription with it.
    void connectionEnded();

private:
    MosquittoClient& m_client;
    QString m_topic;
    bool m_subscribed = false;
    QSet<QByteArray> m_awaited;
};

} // namespace velmor
