#pragma once

#include "hvlink/dde_items.h"
#include "hvlink/hv_window.h"
#include "jukebox/jukebox_window.h"
#include "telephony/telephony_window.h"

#include <QStringList>

#include <map>

namespace velmor::test {

// The main window's state without widgets, starting from the design values.
class FakeWindow : public HvWindow, public JukeboxWindow, public TelephonyWindow {
public:
    std::map<HvLabel, QString> captions{
        {HvLabel::DDECommand, DdeDesignCaptions.DDECommand},
        {HvLabel::DDECommandAcknowledge, DdeDesignCaptions.DDECommandAcknowledge},
        {HvLabel::DDEMessage, DdeDesignCaptions.DDEMessage},
        {HvLabel::DDEMessageAcknowledge, DdeDesignCaptions.DDEMessageAcknowledge},
        {HvLabel::Label2, QString()},
        {HvLabel::Label5, QString()},
    };
    QStringList messageLog;
    qsizetype selectedEntry = -1;
    QString label1;
    QString label19;
    qint16 check1 = 1;
    QString cdInfo = QStringLiteral("h:\\progra~1\\homevi~1\\cdnow.txt");

    QString caption(HvLabel label) const override { return captions.at(label); }
    void setCaption(HvLabel label, const QString& caption) override { captions[label] = caption; }
    qsizetype messageLogCount() const override { return messageLog.size(); }
    void removeMessageLogEntry(qsizetype index) override { messageLog.removeAt(index); }
    void appendMessageLogEntry(const QString& entry) override { messageLog.append(entry); }
    void selectMessageLogEntry(qsizetype index) override { selectedEntry = index; }

    void setLabel1Caption(const QString& caption) override { label1 = caption; }
    qint16 check1Value() const override { return check1; }
    QString cdInfoText() const override { return cdInfo; }

    void setLabel19Caption(const QString& caption) override { label19 = caption; }
};

} // namespace velmor::test
