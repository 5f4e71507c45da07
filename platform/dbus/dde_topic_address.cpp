#include "platform/dbus/dde_topic_address.h"

namespace velmor {

namespace {

const QString ServicePrefix = QStringLiteral("org.velmor.DDE.");
// The whole bus name must stay within the bus's limit.
constexpr qsizetype MaxServiceLength = 255;

bool isAsciiWordCharacter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_');
}

bool isApplicationName(QStringView name) {
    if (name.isEmpty() || name.front().isDigit() || ServicePrefix.size() + name.size() > MaxServiceLength)
        return false;
    for (QChar c : name) {
        if (!isAsciiWordCharacter(c) && c != QLatin1Char('-'))
            return false;
    }
    return true;
}

bool isTopicName(QStringView name) {
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (!isAsciiWordCharacter(c))
            return false;
    }
    return true;
}

} // namespace

std::optional<DdeTopicAddress> ddeTopicAddress(const QString& linkTopic) {
    const qsizetype bar = linkTopic.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return std::nullopt;
    const QStringView application = QStringView(linkTopic).left(bar);
    const QStringView topic = QStringView(linkTopic).mid(bar + 1);
    if (!isApplicationName(application) || !isTopicName(topic))
        return std::nullopt;
    return DdeTopicAddress{ServicePrefix + application.toString(), QStringLiteral("/") + topic.toString()};
}

} // namespace velmor
