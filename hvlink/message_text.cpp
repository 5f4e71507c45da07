#include "hvlink/message_text.h"

namespace velmor {

namespace {

// Encloses the artist in a jukebox search.
constexpr QChar QuotationMark(34);

} // namespace

std::optional<QString> jukeboxTextOf(const QString& message) {
    const qsizetype first = message.indexOf(QLatin1Char('~'));
    if (first < 0)
        return std::nullopt;
    QString text;
    text.reserve(message.size() - first);
    for (qsizetype i = first; i < message.size(); ++i) {
        const QChar c = message.at(i);
        text.append(c == QLatin1Char('~') ? QLatin1Char(' ') : c);
    }
    return text;
}

bool startsWithPlayArtistKeyword(const QString& message) {
    return message.startsWith(QLatin1String("KRZ:PlayThisArtist"));
}

QString artistSearchCommand(const QString& artist) {
    return QLatin1String("cdj:search[artist == ") + QuotationMark + artist + QuotationMark + QLatin1Char(']');
}

QStringList playArtistCommands(const QString& artist) {
    return {
        QStringLiteral("cdj:playlist_stop"),  QStringLiteral("cdj:playlist_mode[manual]"),
        QStringLiteral("cdj:playlist_clear"), QStringLiteral("cdj:search_mode[track]"),
        artistSearchCommand(artist),          QStringLiteral("cdj:playlist_mode[random]"),
        QStringLiteral("cdj:playlist_play"),
    };
}

} // namespace velmor
