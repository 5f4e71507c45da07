#include "platform/mpd/mpd_outcome.h"

#include <mpd/client.h>

namespace velmor {

MpdOutcome takeOutcome(mpd_connection& connection) {
    const mpd_error error = mpd_connection_get_error(&connection);
    if (error == MPD_ERROR_SUCCESS)
        return {};
    const char* message = mpd_connection_get_error_message(&connection);
    QString reason = message != nullptr ? QString::fromUtf8(message) : QStringLiteral("unknown MPD error");
    if (error == MPD_ERROR_OOM)
        reason = QStringLiteral("out of memory");
    const bool recovered = mpd_connection_clear_error(&connection);
    return {recovered ? MpdOutcome::Kind::Refused : MpdOutcome::Kind::Lost, reason,
            error == MPD_ERROR_MALFORMED};
}

} // namespace velmor
