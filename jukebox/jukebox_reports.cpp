#include "jukebox/jukebox_reports.h"

#include <algorithm>

namespace velmor {

namespace {

QString quoted(QString value) {
    value.replace(QLatin1Char('"'), QLatin1Char('\''));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

} // namespace

QString playingReport(const TrackTags& track) {
    return QStringLiteral("playing[%1,%2,%3,%4]")
        .arg(quoted(track.album), quoted(track.artist), quoted(track.title),
             quoted(trackTime(track.seconds)));
}

QString trackTime(unsigned seconds) {
    constexpr unsigned Longest = 99 * 60 + 59;
    const unsigned shown = std::min(seconds, Longest);
    return QStringLiteral("%1:%2")
        .arg(shown / 60, 2, 10, QLatin1Char('0'))
        .arg(shown % 60, 2, 10, QLatin1Char('0'));
}

QString errorReport(const QString& reason) {
    return QStringLiteral("error[%1]").arg(reason);
}

QString usingPlayerReport() {
    return QStringLiteral("using_player[mp3]");
}

QString stoppedReport() {
    return QStringLiteral("stopped");
}

QString pausedReport() {
    return QStringLiteral("paused");
}

} // namespace velmor
