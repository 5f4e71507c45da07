#pragma once

#include "jukebox/track_info.h"

namespace velmor {

// Told of each track that starts playing, once its fields went to the now-playing file. The program
// passes them on to whoever else wants to know; the jukebox logic does not care who that is.
class NowPlayingObserver {
public:
    virtual ~NowPlayingObserver() = default;
    virtual void nowPlaying(const TrackInfo& track) = 0;
};

} // namespace velmor
