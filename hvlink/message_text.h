#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <optional>

namespace velmor {

// What the message slot holds between two messages from HomeVision.
inline constexpr QLatin1String IdleMarker("--------");

// The jukebox text of a message: a space for its first "~" followed by the rest of the message, with
// every later "~" turned into a space. None when the message holds no "~".
[[nodiscard]] std::optional<QString> jukeboxTextOf(const QString& message);

// Whether the message asks the jukebox to play the artist now playing (keyword at the very start).
[[nodiscard]] bool startsWithPlayArtistKeyword(const QString& message);

// The search for every track of the artist, the artist standing in quotation marks.
[[nodiscard]] QString artistSearchCommand(const QString& artist);

// The seven jukebox commands that replace the playlist by the artist's tracks in random order.
[[nodiscard]] QStringList playArtistCommands(const QString& artist);

} // namespace velmor
