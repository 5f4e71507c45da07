#pragma once

#include "core/pending_commands.h"

#include <QString>

namespace velmor {

class DdeConversation;
class HvWindow;
class SlinkControl;

// Handles every message HomeVision puts into the DDEMessage slot.
class MessageHandler {
public:
    MessageHandler(HvWindow& window, DdeConversation& conversation, SlinkControl& slinkx,
                   PendingCommands& pendingCommands, const QString& currentArtist);

    void DDEMessage_Change();

private:
    void logMessage(const QString& message);

    HvWindow& m_window;
    DdeConversation& m_conversation;
    SlinkControl& m_slinkx;
    PendingCommands& m_pendingCommands;
    const QString& m_currentArtist;
};

} // namespace velmor
