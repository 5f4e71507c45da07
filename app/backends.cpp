#include "app/backends.h"

#include "platform/dbus/dbus_dde_link.h"
#include "platform/mpd/mpd_slink_control.h"
#include "platform/ncid/ncid_server_address.h"
#include "platform/ncid/ncid_telephony_control.h"

#include <QDBusConnection>

namespace velmor {

Form1Parts makeRealParts(std::unique_ptr<MessageBox> messageBox) {
    Form1Parts parts;
    parts.ddeLinks.forEach([](HvLabel, std::unique_ptr<DdeLink>& link) {
        link = std::make_unique<DbusDdeLink>(QDBusConnection::sessionBus());
    });
    parts.slinkx = std::make_unique<MpdSlinkControl>();
    parts.callSoft1 = std::make_unique<NcidTelephonyControl>(ncidServerAddressFromEnvironment());
    parts.messageBox = std::move(messageBox);
    return parts;
}

} // namespace velmor
