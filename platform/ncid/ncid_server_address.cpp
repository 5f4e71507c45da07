#include "platform/ncid/ncid_server_address.h"

#include "core/log_categories.h"

#include <QtGlobal>

namespace velmor {

std::optional<quint16> parseNcidPort(const QString& text) {
    bool ok = false;
    const uint port = text.trimmed().toUInt(&ok, 10);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

NcidServerAddress ncidServerAddressFromEnvironment() {
    NcidServerAddress address;
    const QString host = qEnvironmentVariable("NCID_HOST").trimmed();
    if (!host.isEmpty())
        address.host = host;
    const QString port = qEnvironmentVariable("NCID_PORT");
    if (!port.trimmed().isEmpty()) {
        if (const auto parsed = parseNcidPort(port))
            address.port = *parsed;
        else
            qCWarning(lcTelephony, "NCID_PORT \"%s\" is not a TCP port; using %u", qUtf8Printable(port),
                      unsigned{NcidServerAddress::DefaultPort});
    }
    return address;
}

} // namespace velmor
