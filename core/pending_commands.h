#pragma once

#include <QString>

#include <array>

namespace velmor {

// HomeVision commands parked by the jukebox reports and released one per HomeVision message.
// Index 0 exists but is never used; the release scans 1 to 10.
using PendingCommands = std::array<QString, 11>;

[[nodiscard]] inline bool isParked(const QString& entry) {
    return entry.startsWith(QLatin1Char(','));
}

} // namespace velmor
