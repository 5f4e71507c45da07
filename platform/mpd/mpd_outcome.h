#pragma once

#include <QString>

struct mpd_connection;

namespace velmor {

// What became of a piece of work on the MPD connection.
struct MpdOutcome {
    enum class Kind {
        Done,
        NotConnected, // there was no connection to do it on
        Refused,      // MPD or the library turned the request down; the connection goes on
        Lost,         // the connection broke and must be made anew
    };

    Kind kind = Kind::Done;
    QString reason;
    // The library could not read MPD's answer (a line past its 4 KiB buffer, such as a very long tag):
    // the connection is lost with it, though MPD itself is well.
    bool unreadableAnswer = false;

    [[nodiscard]] bool done() const { return kind == Kind::Done; }
};

// The one place that turns the library's error state into an outcome. An error the connection can
// recover from is cleared here, so that the next request goes through.
[[nodiscard]] MpdOutcome takeOutcome(mpd_connection& connection);

} // namespace velmor
