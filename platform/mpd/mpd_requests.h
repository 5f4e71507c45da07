#pragma once

#include "jukebox/jukebox_command.h"
#include "jukebox/playback_tracker.h"

#include <optional>

struct mpd_connection;

namespace velmor {

// The MPD requests behind the jukebox's commands. Failures are left in the connection's error state
// for the caller to collect.

// Whether the command's request fits the library's request buffer (4 KiB). A request that does not
// fails inside the library and leaves the connection unusable, every later request failing the same
// way; so one that cannot fit is never begun.
[[nodiscard]] bool fitsOneRequest(const JukeboxCommand& command);

// Sends one command other than a search mode. A search adds the matching tracks, or with wholeDiscs
// the whole albums that hold a match (a match with no album is added on its own).
void requestCommand(mpd_connection& connection, const JukeboxCommand& command, bool wholeDiscs);

// Has MPD send, with each song, only the tags the jukebox's reports and searches read.
void requestUsedTagsOnly(mpd_connection& connection);

// Looks at the player: its state and the track it is on, whose tags are not asked for when it is the
// one to skip. Nothing when the state could not be read; when the track could not be, the snapshot
// has its id and no tags.
[[nodiscard]] std::optional<PlayerSnapshot> requestPlayer(mpd_connection& connection,
                                                          std::optional<unsigned> skippedSongId);

} // namespace velmor
