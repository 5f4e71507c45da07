#include "app/backends.h"

#include "platform/mpd/mpd_slink_control.h"
#include "platform/ncid/ncid_server_address.h"
#include "platform/ncid/ncid_telephony_control.h"
#include "platform/offline/offline_dde_link.h"

namespace velmor {

Form1Parts makeRealParts(std::unique_ptr<MessageBox> messageBox) {
    Form1Parts parts;
    for (auto& link : parts.ddeLinks)
        link = std::make_unique<OfflineDdeLink>();
    parts.slinkx = std::make_unique<MpdSlinkControl>();
    parts.callSoft1 = std::make_unique<NcidTelephonyControl>(ncidServerAddressFromEnvironment());
    parts.messageBox = std::move(messageBox);
    return parts;
}

} // namespace velmor
