#include "app/backends.h"

#include "platform/dbus/dbus_dde_link.h"
#include "platform/dbus/dbus_instance_guard.h"
#include "platform/dbus/session_bus.h"
#include "platform/mpd/mpd_server_address.h"
#include "platform/mpd/mpd_slink_control.h"
#include "platform/ncid/ncid_server_address.h"
#include "platform/ncid/ncid_telephony_control.h"

namespace velmor {

Form1Parts makeRealParts(std::unique_ptr<MessageBox> messageBox) {
    Form1Parts parts;
    const QDBusConnection bus = sessionBus();
    for (auto& link : parts.ddeLinks)
        link = std::make_unique<DbusDdeLink>(bus);
    parts.slinkx = std::make_unique<MpdSlinkControl>(mpdServerAddressFromEnvironment());
    parts.callSoft1 = std::make_unique<NcidTelephonyControl>(ncidServerAddressFromEnvironment());
    parts.messageBox = std::move(messageBox);
    return parts;
}

std::unique_ptr<InstanceGuard> makeInstanceGuard() {
    // The claim is made on the bus the links use. Links over MQTT want a guard of their own behind the
    // same interface, one that finds a running copy by the retained velmor/status; until it is
    // written, the session bus guards them too.
    return std::make_unique<DbusInstanceGuard>(QDBusConnection::sessionBus());
}

} // namespace velmor
