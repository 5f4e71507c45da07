#pragma once

#include <mpd/client.h>

#include <memory>

namespace velmor {

// Owns one libmpdclient object and hands it back to the library's own free function.
template <auto Free> struct MpdFree {
    template <typename T> void operator()(T* object) const noexcept { Free(object); }
};

using MpdConnectionHandle = std::unique_ptr<mpd_connection, MpdFree<&mpd_connection_free>>;
using MpdStatusHandle = std::unique_ptr<mpd_status, MpdFree<&mpd_status_free>>;
using MpdSongHandle = std::unique_ptr<mpd_song, MpdFree<&mpd_song_free>>;

} // namespace velmor
