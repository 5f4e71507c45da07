#pragma once

#include <QString>

namespace velmor {

// What the jukebox says about a track: the tags it has (an absent one is empty) and its length.
struct TrackTags {
    QString album;
    QString artist;
    QString title;
    unsigned seconds = 0;

    friend bool operator==(const TrackTags&, const TrackTags&) = default;
};

// playing["<album>","<artist>","<title>","<MM:SS>"]; a quotation mark inside a value becomes an
// apostrophe, so that no value can hold the quotation marks that delimit it.
[[nodiscard]] QString playingReport(const TrackTags& track);

// MM:SS with two-digit minutes; a length past 99:59 is shown as 99:59.
[[nodiscard]] QString trackTime(unsigned seconds);

[[nodiscard]] QString errorReport(const QString& reason);
[[nodiscard]] QString usingPlayerReport();
[[nodiscard]] QString stoppedReport();
[[nodiscard]] QString pausedReport();

} // namespace velmor
