#pragma once

#include "core/error.h"
#include "hvlink/dde_link.h"

#include <QString>

namespace velmor {

// Turns a D-Bus error reply into the link's error. `doing` says what the link was about, for the
// description ("Poke of DDECommand on HOMEVIS|DDE").
[[nodiscard]] Error ddeLinkError(const QString& dbusErrorName, const QString& dbusMessage,
                                 const QString& doing);

} // namespace velmor
