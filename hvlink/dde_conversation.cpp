#include "hvlink/dde_conversation.h"

#include "core/error.h"
#include "hvlink/dde_link.h"

namespace velmor {

namespace {

const QString Topic = QStringLiteral("HOMEVIS|DDE");
const QString AckOne = QStringLiteral("OK 1");
const QString AckTwo = QStringLiteral("OK 2");

struct LinkPlan {
    HvLabel label;
    const char* item;
    int mode;
};

// Index order matches DdeConversation::Links.
constexpr std::array<LinkPlan, 4> Plan{{
    {HvLabel::DDECommand, "DDECommand", DdeLink::Manual},
    {HvLabel::DDECommandAcknowledge, "DDECommandAcknowledge", DdeLink::Automatic},
    {HvLabel::DDEMessage, "DDEMessage", DdeLink::Automatic},
    {HvLabel::DDEMessageAcknowledge, "DDEMessageAcknowledge", DdeLink::Manual},
}};

constexpr std::size_t CommandLink = 0;
constexpr std::size_t MessageAckLink = 3;

} // namespace

DdeConversation::DdeConversation(HvWindow& window, MessageBox& messageBox, const Links& links)
    : m_window(window)
    , m_messageBox(messageBox)
    , m_links(links) {
    for (std::size_t i = 0; i < m_links.size(); ++i) {
        const HvLabel label = Plan[i].label;
        connect(m_links[i], &DdeLink::valueDelivered, this,
                [this, label](const QString& value) { deliver(label, value); });
    }
}

qint16 DdeConversation::Open_DDE_Link() {
    int failure = 0;
    try {
        for (std::size_t i = 0; i < m_links.size(); ++i) {
            m_links[i]->setLinkTopic(Topic);
            m_links[i]->setLinkItem(QLatin1String(Plan[i].item));
            m_links[i]->setLinkMode(Plan[i].mode);
        }
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
        m_links[CommandLink]->poke(m_window.caption(HvLabel::DDECommand));
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}

qint16 DdeConversation::Send_DDE_Message_Ack() {
    try {
        // The alternation lives only in the label, so it carries on across failed pokes.
        const QString next = m_window.caption(HvLabel::DDEMessageAcknowledge) == AckOne ? AckTwo : AckOne;
        m_window.setCaption(HvLabel::DDEMessageAcknowledge, next);
        m_links[MessageAckLink]->poke(m_window.caption(HvLabel::DDEMessageAcknowledge));
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
