#pragma once

#include "core/homevision_commands.h"
#include "hvlink/dde_links.h"
#include "hvlink/hv_window.h"

#include <QObject>
#include <QString>

namespace velmor {

class DdeLink;

// The four links to HomeVision, one per DDE label, and the routines every other part talks through.
class DdeConversation : public QObject, public HomeVisionCommands {
    Q_OBJECT
public:
    using Links = DdeLinks<DdeLink*>;

    DdeConversation(HvWindow& window, MessageBox& messageBox, const Links& links);

    qint16 Open_DDE_Link();
    qint16 Send_DDE_Command(const QString& command) override;
    qint16 Send_DDE_Message_Ack();

    // Sets the DDEMessage label; a change of its value raises DDEMessageChanged at once.
    void setMessageSlot(const QString& message);

Q_SIGNALS:
    void DDEMessageChanged();

private:
    void deliver(HvLabel label, const QString& value);

    HvWindow& m_window;
    MessageBox& m_messageBox;
    Links m_links;
};

} // namespace velmor
