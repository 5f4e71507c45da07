#include "hvlink/message_handler.h"

#include "hvlink/dde_conversation.h"
#include "hvlink/hv_window.h"
#include "hvlink/message_text.h"
#include "hvlink/release_pending_command.h"
#include "jukebox/slink_control.h"

namespace velmor {

namespace {

// The log keeps the newest messages, this many of them.
constexpr qsizetype KeptMessages = 51;

} // namespace

MessageHandler::MessageHandler(HvWindow& window, DdeConversation& conversation, SlinkControl& slinkx,
                               PendingCommands& pendingCommands, const QString& currentArtist)
    : m_window(window)
    , m_conversation(conversation)
    , m_slinkx(slinkx)
    , m_pendingCommands(pendingCommands)
    , m_currentArtist(currentArtist) {}

void MessageHandler::DDEMessage_Change() {
    const QString message = m_window.caption(HvLabel::DDEMessage);
    // Putting the marker back below brings us here again; that run has nothing to do.
    if (message == IdleMarker)
        return;

    logMessage(message);

    if (const std::optional<QString> text = jukeboxTextOf(message)) {
        m_window.setCaption(HvLabel::Label2, *text);
        m_slinkx.SlinkSend(*text);
    }

    if (startsWithPlayArtistKeyword(message)) {
        // One artist for all seven commands, even if a report changes it while they go out.
        const QStringList commands = playArtistCommands(m_currentArtist);
        for (const QString& command : commands)
            m_slinkx.SlinkSend(command);
    }

    // Emptying the slot makes HomeVision's next message a change even when it repeats this one.
    m_conversation.setMessageSlot(QString(IdleMarker));
    m_conversation.Send_DDE_Message_Ack();
    Release_Pending_Command(m_pendingCommands, m_conversation, m_window);
}

void MessageHandler::logMessage(const QString& message) {
    if (m_window.messageLogCount() >= KeptMessages)
        m_window.removeMessageLogEntry(0);
    m_window.appendMessageLogEntry(message);
    m_window.selectMessageLogEntry(m_window.messageLogCount() - 1);
}

} // namespace velmor
