#include "platform/mpd/mpd_server_address.h"

#include "core/log_categories.h"

#include <QtGlobal>

#include <algorithm>

namespace velmor {

namespace {

std::optional<QString> environmentValue(const char* name) {
    if (!qEnvironmentVariableIsSet(name))
        return std::nullopt;
    return qEnvironmentVariable(name);
}

std::optional<quint16> parsePort(const QString& text) {
    const QString trimmed = text.trimmed();
    // Digits only: the library would read "-1" or "80abc" as some number and use it without a word.
    if (trimmed.isEmpty() || !std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        }))
        return std::nullopt;
    bool ok = false;
    const uint port = trimmed.toUInt(&ok, 10);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

} // namespace

CheckedMpdServerAddress checkMpdServerAddress(const std::optional<QString>& host,
                                              const std::optional<QString>& port) {
    CheckedMpdServerAddress checked;
    if (host)
        checked.address.host = host->toUtf8();
    if (!port)
        return checked;
    if (const std::optional<quint16> parsed = parsePort(*port)) {
        checked.address.port = *parsed;
        return checked;
    }
    // Set but unusable: left at 0, the library would read the variable again and use it as it stands.
    checked.address.port = MpdServerAddress::DefaultPort;
    checked.warning = QStringLiteral("MPD_PORT \"%1\" is not a TCP port; using %2")
                          .arg(*port)
                          .arg(MpdServerAddress::DefaultPort);
    return checked;
}

MpdServerAddress mpdServerAddressFromEnvironment() {
    const CheckedMpdServerAddress checked =
        checkMpdServerAddress(environmentValue("MPD_HOST"), environmentValue("MPD_PORT"));
    if (checked.warning)
        qCWarning(lcJukebox, "%s", qUtf8Printable(*checked.warning));
    return checked.address;
}

} // namespace velmor
