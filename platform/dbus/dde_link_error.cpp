#include "platform/dbus/dde_link_error.h"

#include <array>

namespace velmor {

namespace {

// What the bus or the peer answers when nobody serves the application and topic: to a DDE client
// that is an initiate no application answered.
constexpr std::array<const char*, 5> NobodyServes{
    "org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.NameHasNoOwner",
    "org.freedesktop.DBus.Error.UnknownObject",  "org.freedesktop.DBus.Error.UnknownInterface",
    "org.freedesktop.DBus.Error.UnknownMethod",
};

constexpr std::array<const char*, 3> NoTimelyAnswer{
    "org.freedesktop.DBus.Error.NoReply",
    "org.freedesktop.DBus.Error.Timeout",
    "org.freedesktop.DBus.Error.TimedOut",
};

constexpr std::array<const char*, 3> NoBus{
    "org.freedesktop.DBus.Error.Disconnected",
    "org.freedesktop.DBus.Error.NoServer",
    "org.freedesktop.DBus.Error.BadAddress",
};

template <std::size_t N> bool isOneOf(const QString& name, const std::array<const char*, N>& names) {
    for (const char* candidate : names) {
        if (name == QLatin1String(candidate))
            return true;
    }
    return false;
}

} // namespace

Error ddeLinkError(const QString& dbusErrorName, const QString& dbusMessage, const QString& doing) {
    const QString detail = QStringLiteral(" (%1: %2)").arg(dbusErrorName, dbusMessage);
    if (isOneOf(dbusErrorName, NobodyServes))
        return Error(dde_link_error::NoApplicationAnswered,
                     doing + QStringLiteral(": no application answered") + detail);
    if (isOneOf(dbusErrorName, NoTimelyAnswer))
        return Error(dde_link_error::TimedOut,
                     doing + QStringLiteral(": the other side did not answer in time") + detail);
    if (isOneOf(dbusErrorName, NoBus))
        return Error(dde_link_error::NoBus, doing + QStringLiteral(": no session bus") + detail);
    return Error(dde_link_error::Refused, doing + QStringLiteral(": refused by the other side") + detail);
}

} // namespace velmor
