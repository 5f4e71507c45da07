#include "app/graphical_session.h"

namespace velmor {

std::optional<QString> missingGraphicalSession(const ScreenEnvironment& environment) {
    // An empty value names nothing: Qt's own platforms treat it as unset.
    if (!environment.display.isEmpty() || !environment.waylandDisplay.isEmpty() ||
        !environment.qpaPlatform.isEmpty())
        return std::nullopt;
    return QStringLiteral("Velmor needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set "
                          "(QT_QPA_PLATFORM=offscreen runs it without a screen)");
}

} // namespace velmor
