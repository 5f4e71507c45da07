#include "platform/mqtt/mqtt_presence.h"

#include "platform/mqtt/mosquitto_client.h"

#include <QRandomGenerator>

#include <algorithm>

namespace velmor {

namespace {

const QString AnswerTopicPrefix = QStringLiteral("velmor/alive/answer/");

bool isToken(const QByteArray& payload) {
    return payload.size() == 32 && std::ranges::all_of(payload, [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

} // namespace

const QString MqttPresence::QuestionTopic = QStringLiteral("velmor/alive/question");

MqttPresence::MqttPresence(MosquittoClient& client)
    : m_client(client) {}

std::optional<QByteArray> MqttPresence::ask() {
    quint64 bits[2];
    QRandomGenerator::system()->fillRange(bits);
    QByteArray token = QByteArray(reinterpret_cast<const char*>(bits), sizeof bits).toHex();
    // The broker takes one client's packets in order: the subscription is in place before anyone hears
    // the question.
    if (!m_client.subscribe(AnswerTopicPrefix + QString::fromLatin1(token), Qos) ||
        !m_client.publish(QuestionTopic, token, Qos, false))
        return std::nullopt;
    m_asked.insert(token);
    return token;
}

bool MqttPresence::take(const QString& topic, const QByteArray& payload) {
    if (topic == QuestionTopic) {
        if (m_answering && isToken(payload))
            static_cast<void>(
                m_client.publish(AnswerTopicPrefix + QString::fromLatin1(payload), "alive", Qos, false));
        return true;
    }
    if (!topic.startsWith(AnswerTopicPrefix))
        return false;
    const QByteArray token = topic.mid(AnswerTopicPrefix.size()).toLatin1();
    if (m_asked.contains(token))
        m_answered.insert(token);
    return true;
}

} // namespace velmor
