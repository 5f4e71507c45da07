#include "jukebox/report_cutter.h"

namespace velmor {

namespace {

constexpr qsizetype TrackTimeLength = 5;

// n characters of s from the 1-based position start on; none when the length is negative.
std::optional<QString> field(const QString& s, qsizetype start, qsizetype length) {
    if (length < 0)
        return std::nullopt;
    return s.mid(start - 1, length);
}

} // namespace

bool isPlayingReport(const QString& message) {
    return message.startsWith(QLatin1String("playing"));
}

WorkingText workingTextOf(const QString& message) {
    // With no "[" this keeps the message without its last character.
    const qsizetype afterBracket = message.indexOf(QLatin1Char('[')) + 1;
    WorkingText working{message.mid(afterBracket, std::max<qsizetype>(message.size() - 1, 0)), {}};

    QString& s = working.text;
    const qsizetype length = s.size();
    std::size_t found = 0;
    QChar* c = s.data();
    // Index j is position j + 1; the first character is never changed and never a separator's comma.
    for (qsizetype j = 1; j < length; ++j) {
        if (c[j] == QLatin1Char('('))
            c[j] = QLatin1Char('<');
        else if (c[j] == QLatin1Char(')'))
            c[j] = QLatin1Char('>');
        // Each comma is tested on its own, so two separators sharing a quotation mark both count.
        if (found < working.separators.size() && j + 1 < length && c[j] == QLatin1Char(',') &&
            c[j - 1] == QLatin1Char('"') && c[j + 1] == QLatin1Char('"'))
            working.separators[found++] = j + 1;
    }
    return working;
}

ReportCut cutPlayingReport(const QString& message) {
    const WorkingText working = workingTextOf(message);
    const QString& s = working.text;
    const auto [p1, p2, p3] = working.separators;

    ReportCut cut;
    const std::optional<QString> discTitle = field(s, 2, p1 - 3);
    if (!discTitle)
        return cut;
    cut.artist = field(s, p1 + 2, p2 - p1 - 3);
    if (!cut.artist)
        return cut;
    const std::optional<QString> trackTitle = field(s, p2 + 2, p3 - p2 - 3);
    if (!trackTitle)
        return cut;
    cut.track = TrackInfo{*discTitle, *cut.artist, *trackTitle, *field(s, p3 + 2, TrackTimeLength)};
    return cut;
}

} // namespace velmor
