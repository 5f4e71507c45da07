#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

namespace velmor {

class MosquittoClient;

// How a starting copy of Velmor tells a running copy from a retained "online" that nobody stands behind
// any more (a copy that died with its broker never had its will published). A running copy answers
// every question on velmor/alive/question at once, inside a wait too, on the answer topic of the
// question's token; a starting copy asks with a new, unguessable token and listens there.
class MqttPresence {
public:
    static constexpr int Qos = 1;
    static const QString QuestionTopic;

    explicit MqttPresence(MosquittoClient& client);

    // Subscribes to this question's answer, then asks it: the token that answered() then waits for.
    [[nodiscard]] std::optional<QByteArray> ask();
    [[nodiscard]] bool answered(const QByteArray& token) const { return m_answered.contains(token); }
    // From now on, questions that arrive are answered.
    void startAnswering() { m_answering = true; }
    // Takes a message that arrived: true when it was a question or an answer, which nobody else is to see.
    bool take(const QString& topic, const QByteArray& payload);

private:
    MosquittoClient& m_client;
    bool m_answering = false;
    QSet<QByteArray> m_asked;
    QSet<QByteArray> m_answered;
};

} // namespace velmor
