#include "platform/mqtt/mqtt_dde_topics.h"

namespace velmor {

namespace {

bool isTopicLevel(QStringView name) {
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('+') || c == QLatin1Char('#') || c.isNull())
            return false;
    }
    return true;
}

} // namespace

std::optional<MqttDdeTopics> mqttDdeTopics(const QString& linkTopic, const QString& item) {
    const qsizetype bar = linkTopic.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return std::nullopt;
    const QStringView application = QStringView(linkTopic).left(bar);
    const QStringView topic = QStringView(linkTopic).mid(bar + 1);
    if (!isTopicLevel(application) || !isTopicLevel(topic) || !isTopicLevel(item))
        return std::nullopt;
    const QString base =
        QStringLiteral("velmor/") + application.toString() + QLatin1Char('/') + topic.toString();
    const QString itemTopic = base + QLatin1Char('/') + item;
    return MqttDdeTopics{base + QStringLiteral("/state"), itemTopic, itemTopic + QStringLiteral("/set")};
}

} // namespace velmor
