#include "hvlink/dde_conversation.h"

#include "core/error.h"
#include "hvlink/dde_items.h"
#include "hvlink/dde_link.h"

namespace velmor {

namespace {

// A manual link pokes its item; an automatic one hears of every change of it.
constexpr DdeLinks<int> LinkModes{DdeLink::Manual, DdeLink::Automatic, DdeLink::Automatic, DdeLink::Manual};

} // namespace

DdeConversation::DdeConversation(HvWindow& window, MessageBox& messageBox, const Links& links)
    : m_window(window)
    , m_messageBox(messageBox)
    , m_links(links) {
    m_links.forEach([this](HvLabel label, DdeLink* link) {
        connect(link, &DdeLink::valueDelivered, this,
                [this, label](const QString& value) { deliver(label, value); });
    });
}

qint16 DdeConversation::Open_DDE_Link() {
    int failure = 0;
    try {
        m_links.forEach([](HvLabel label, DdeLink* link) {
            link->setLinkTopic(HomeVisionLinkTopic);
            link->setLinkItem(DdeItems[label]);
            link->setLinkMode(LinkModes[label]);
        });
        return 0;
    } catch (const Error& e) {
        failure = e.number();
    } catch (const std::exception&) {
        failure = -1;
    }
    m_messageBox.show(failure == error_number::NoApplicationAnswered
                          ? QStringLiteral("HomeVision is not running.  Please start it.")
                          : QStringLiteral("Unknown error opening DDE link"));
    return -1;
}

qint16 DdeConversation::Send_DDE_Command(const QString& command) {
    try {
        m_window.setCaption(HvLabel::DDECommand, command);
        m_links.DDECommand->poke(m_window.caption(HvLabel::DDECommand));
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}

qint16 DdeConversation::Send_DDE_Message_Ack() {
    try {
        // The alternation lives only in the label, so it carries on across failed pokes.
        const QString next = m_window.caption(HvLabel::DDEMessageAcknowledge) == FirstAcknowledgement
                                 ? SecondAcknowledgement
                                 : FirstAcknowledgement;
        m_window.setCaption(HvLabel::DDEMessageAcknowledge, next);
        m_links.DDEMessageAcknowledge->poke(m_window.caption(HvLabel::DDEMessageAcknowledge));
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}

void DdeConversation::setMessageSlot(const QString& message) {
    if (m_window.caption(HvLabel::DDEMessage) == message)
        return;
    m_window.setCaption(HvLabel::DDEMessage, message);
    Q_EMIT DDEMessageChanged();
}

void DdeConversation::deliver(HvLabel label, const QString& value) {
    if (label == HvLabel::DDEMessage)
        setMessageSlot(value);
    else
        m_window.setCaption(label, value);
}

} // namespace velmor
