#pragma once

#include "core/pending_commands.h"

namespace velmor {

class HomeVisionCommands;
class HvWindow;

// Sends the parked command with the lowest index (1 to 10), shows it in Label5 and empties its entry,
// whatever the send returned. Does nothing when no entry is parked.
void Release_Pending_Command(PendingCommands& pendingCommands, HomeVisionCommands& homeVision,
                             HvWindow& window);

} // namespace velmor
