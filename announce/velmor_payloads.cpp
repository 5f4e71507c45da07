#include "announce/velmor_payloads.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace velmor {

QByteArray nowPlayingJson(const TrackInfo& track) {
    const QJsonObject object{
        {QStringLiteral("disc"), track.discTitle},
        {QStringLiteral("artist"), track.artist},
        {QStringLiteral("track"), track.trackTitle},
        {QStringLiteral("time"), track.trackTime},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray callJson(const CallReport& call) {
    const QJsonObject object{
        {QStringLiteral("event_type"), QStringLiteral("call")},
        {QStringLiteral("date"), call.date},
        {QStringLiteral("time"), call.time},
        {QStringLiteral("line"), call.line},
        {QStringLiteral("number"), call.number},
        {QStringLiteral("name"), call.name},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace velmor
