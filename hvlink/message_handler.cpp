#include "hvlink/message_handler.h"

#include "hvlink/dde_conversation.h"
#include "hvlink/hv_window.h"
#include "jukebox/slink_control.h"

namespace velmor {

MessageHandler::MessageHandler(HvWindow& window, DdeConversation& conversation, SlinkControl& slinkx,
                               PendingCommands& pendingCommands, const QString& currentArtist)
    : m_window(window)
    , m_conversation(conversation)
    , m_slinkx(slinkx)
    , m_pendingCommands(pendingCommands)
    , m_currentArtist(currentArtist) {}

void MessageHandler::DDEMessage_Change() {
    const QString message = m_window.caption(HvLabel::DDEMessage);
    if (message == QLatin1String("--------"))
        return;
    m_conversation.setMessageSlot(QStringLiteral("--------"));
    m_conversation.Send_DDE_Message_Ack();
}

} // namespace velmor
