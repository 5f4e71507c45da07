#include "core/handler_guard.h"

#include "core/error.h"
#include "core/log_categories.h"

#include <QtGlobal>

namespace velmor {

QString shortenedForReport(const QString& input, qsizetype limit) {
    QString shown = input.size() <= limit
                        ? input
                        : input.left(limit) + QStringLiteral("... (%1 characters)").arg(input.size());
    // A message may hold line breaks; the report must stay on one line.
    for (QChar& c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(0x2400 + (c.unicode() == 0x7F ? 0x21 : c.unicode()));
    }
    return shown;
}

bool runHandler(const char* handling, const QString& input, const std::function<void()>& handler) {
    QString reason;
    try {
        handler();
        return true;
    } catch (const Error& e) {
        reason = QStringLiteral("error %1: %2").arg(e.number()).arg(e.description());
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    }
    qCWarning(lcApp, "%s ended on \"%s\": %s", handling, qUtf8Printable(shortenedForReport(input)),
              qUtf8Printable(reason));
    return false;
}

} // namespace velmor
