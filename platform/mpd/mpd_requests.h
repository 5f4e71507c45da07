#pragma once

#include "platform/mpd/jukebox_command.h"
#include "platform/mpd/playback_tracker.h"

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

// Looks at the player: its state and the track it is on. Nothing when the request failed.
[[nodiscard]] std::optional<PlayerSnapshot> requestPlayer(mpd_connection& connection);

} // namespace velmor
