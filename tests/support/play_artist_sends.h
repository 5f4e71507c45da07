#pragma once

#include <string>
#include <vector>

namespace velmor::test {

// What the recording jukebox logs for the play-artist keyword: the seven commands that replace the
// playlist by the artist's tracks in random order.
inline std::vector<std::string> playArtistSends(const std::string& artist) {
    return {"SlinkSend cdj:playlist_stop",
            "SlinkSend cdj:playlist_mode[manual]",
            "SlinkSend cdj:playlist_clear",
            "SlinkSend cdj:search_mode[track]",
            "SlinkSend cdj:search[artist == \"" + artist + "\"]",
            "SlinkSend cdj:playlist_mode[random]",
            "SlinkSend cdj:playlist_play"};
}

} // namespace velmor::test
