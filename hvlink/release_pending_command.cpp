#include "hvlink/release_pending_command.h"

#include "core/homevision_commands.h"
#include "hvlink/hv_window.h"

namespace velmor {

void Release_Pending_Command(PendingCommands& pendingCommands, HomeVisionCommands& homeVision,
                             HvWindow& window) {
    for (std::size_t i = 1; i < pendingCommands.size(); ++i) {
        QString& entry = pendingCommands[i];
        if (!isParked(entry))
            continue;
        window.setCaption(HvLabel::Label5, entry);
        homeVision.Send_DDE_Command(entry);
        // A failed send is not retried: HomeVision's next message must not bring the same command again.
        entry.clear();
        return;
    }
}

} // namespace velmor
