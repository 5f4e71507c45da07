#pragma once

#include <QString>

namespace velmor {

// The four fields of a jukebox "playing" report, as cut from it.
struct TrackInfo {
    QString discTitle;
    QString artist;
    QString trackTitle;
    // Normally MM:SS; at most 5 characters, whatever the report had there.
    QString trackTime;

    friend bool operator==(const TrackInfo&, const TrackInfo&) = default;
};

} // namespace velmor
