#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmor {

// The environment values Qt chooses its screen from.
struct ScreenEnvironment {
    QByteArray display;        // DISPLAY
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray qpaPlatform;    // QT_QPA_PLATFORM
};

// Why the window cannot be shown, as one line for the user; nothing when an X or Wayland display is
// named or a platform is chosen outright. Qt itself aborts without a word of use in that case, so
// this is asked before it is started.
[[nodiscard]] std::optional<QString> missingGraphicalSession(const ScreenEnvironment& environment);

} // namespace velmor
