#pragma once

#include "core/error.h"

#include <QString>

namespace velmor {

// The numbers a DDE link over D-Bus fails with. 282 keeps its DDE meaning, the one the conversation
// tells apart; the others come from the same old DDE family so that a report reads familiar.
namespace dde_link_error {
inline constexpr int NoApplicationAnswered = error_number::NoApplicationAnswered; // 282
inline constexpr int Refused = 285;
inline constexpr int TimedOut = 286;
inline constexpr int NoBus = 291;
inline constexpr int NoLink = 293;
inline constexpr int BadTopic = 297;
inline constexpr int BadMode = 380;
} // namespace dde_link_error

// Turns a D-Bus error reply into the link's error. `doing` says what the link was about, for the
// description ("Poke of DDECommand on HOMEVIS|DDE").
[[nodiscard]] Error ddeLinkError(const QString& dbusErrorName, const QString& dbusMessage,
                                 const QString& doing);

} // namespace velmor
