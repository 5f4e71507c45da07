#include "core/handler_guard.h"

#include "core/error.h"

#include <QtGlobal>

namespace velmor {

QString shortenedForReport(const QString& input, qsizetype limit) {
    if (input.size() <= limit)
        return input;
    return input.left(limit) + QStringLiteral("... (%1 characters)").arg(input.size());
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
    qWarning("%s ended on \"%s\": %s", handling, qUtf8Printable(shortenedForReport(input)),
             qUtf8Printable(reason));
    return false;
}

} // namespace velmor
