#pragma once

#include "jukebox/track_info.h"

#include <QString>

#include <array>
#include <optional>

namespace velmor {

// Whether the jukebox tells what it is playing: the report begins with "playing".
[[nodiscard]] bool isPlayingReport(const QString& message);

// The text the fields are cut from, with its parentheses turned into angle brackets (from position 2
// on), and the 1-based positions of the commas of its first three "," separators (0 when missing).
struct WorkingText {
    QString text;
    std::array<qsizetype, 3> separators{};
};

[[nodiscard]] WorkingText workingTextOf(const QString& message);

// How far cutting a report got. The artist is known as soon as it is cut, even when the track title
// after it cannot be; the track is there only when all four fields could be cut.
struct ReportCut {
    std::optional<QString> artist;
    std::optional<TrackInfo> track;
};

[[nodiscard]] ReportCut cutPlayingReport(const QString& message);

} // namespace velmor
