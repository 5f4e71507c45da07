#include "platform/dbus/session_bus.h"

#include "core/log_categories.h"

#include <QDBusError>

namespace velmor {

QDBusConnection sessionBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        return bus;
    const QString reason = bus.lastError().message();
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) {
        qCWarning(lcDde,
                  "DBUS_SESSION_BUS_ADDRESS \"%s\" cannot be used, so HomeVision cannot be reached: %s",
                  qUtf8Printable(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")), qUtf8Printable(reason));
    } else {
        qCWarning(lcDde,
                  "no session bus (DBUS_SESSION_BUS_ADDRESS is not set), so HomeVision cannot be reached: %s",
                  qUtf8Printable(reason));
    }
    return bus;
}

} // namespace velmor
