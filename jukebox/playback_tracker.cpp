#include "jukebox/playback_tracker.h"

namespace velmor {

void PlaybackTracker::restart() {
    m_state.reset();
    m_reportedSongId.reset();
}

QStringList PlaybackTracker::reportsFor(const PlayerSnapshot& snapshot) {
    QStringList reports;
    const bool known = m_state.has_value();
    switch (snapshot.state) {
    case PlayState::Playing:
        if (snapshot.songId && snapshot.songId != m_reportedSongId) {
            reports.append(snapshot.trackFailure ? errorReport(*snapshot.trackFailure)
                                                 : playingReport(snapshot.track));
            m_reportedSongId = snapshot.songId;
        }
        break;
    case PlayState::Paused:
        if (known && m_state != PlayState::Paused)
            reports.append(pausedReport());
        break;
    case PlayState::Stopped:
        if (known && m_state != PlayState::Stopped)
            reports.append(stoppedReport());
        // Playing the same queue entry again after a stop is a track starting anew.
        m_reportedSongId.reset();
        break;
    }
    m_state = snapshot.state;
    return reports;
}

} // namespace velmor
