#pragma once

#include "jukebox/jukebox_reports.h"

#include <QStringList>

#include <optional>

namespace velmor {

enum class PlayState { Stopped, Playing, Paused };

// The player as one look at MPD found it.
struct PlayerSnapshot {
    PlayState state = PlayState::Stopped;
    // MPD's id of the current queue entry; it changes with every track that starts.
    std::optional<unsigned> songId;
    TrackTags track;
    // Why the track's tags could not be read, when they could not. Such a track is reported as an error
    // instead of as playing.
    std::optional<QString> trackFailure;
};

// Turns successive looks at the player into the jukebox's reports: one "playing" report (or one error
// report, when its tags could not be read) per track that starts, and "stopped" / "paused" when playback
// stops or pauses. MPD may announce one change more than once; a look that finds nothing new yields nothing.
class PlaybackTracker {
public:
    // After a (re)connection nothing is known: the next look is the starting point. A track playing
    // then is reported; a player found stopped or paused is not.
    void restart();

    [[nodiscard]] QStringList reportsFor(const PlayerSnapshot& snapshot);

private:
    std::optional<PlayState> m_state;
    std::optional<unsigned> m_reportedSongId;
};

} // namespace velmor
