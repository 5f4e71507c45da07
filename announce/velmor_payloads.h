#pragma once

#include "jukebox/track_info.h"
#include "telephony/call_observer.h"

#include <QByteArray>
#include <QString>

namespace velmor {

// The topics Velmor keeps for everyone else on the broker, beside the controller's DDE topics.
namespace velmor_topic {
// Retained "online" while Velmor runs, "offline" as its will and after a clean exit.
inline const QString Status = QStringLiteral("velmor/status");
// Retained JSON of the track now playing.
inline const QString NowPlaying = QStringLiteral("velmor/now_playing");
// JSON of each call event, not retained.
inline const QString Call = QStringLiteral("velmor/call");
// Each payload is a jukebox command, handed over as the Send Command button hands one over.
inline const QString JukeboxSend = QStringLiteral("velmor/jukebox/send");
} // namespace velmor_topic

inline const QByteArray StatusOnline = QByteArrayLiteral("online");
inline const QByteArray StatusOffline = QByteArrayLiteral("offline");

// {"disc","artist","track","time"}: the four fields as the now-playing file holds them.
[[nodiscard]] QByteArray nowPlayingJson(const TrackInfo& track);
// {"event_type":"call","date","time","line","number","name"}: Home Assistant's event entities take
// the event type from "event_type" and keep the other keys as the event's attributes.
[[nodiscard]] QByteArray callJson(const CallReport& call);

} // namespace velmor
