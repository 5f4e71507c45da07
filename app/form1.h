#pragma once

#include "app/form1_controls.h"
#include "app/form1_parts.h"
#include "app/paint_pacer.h"
#include "core/handler_turns.h"
#include "core/pending_commands.h"
#include "hvlink/dde_conversation.h"
#include "hvlink/hv_window.h"
#include "hvlink/message_handler.h"
#include "jukebox/jukebox_window.h"
#include "jukebox/report_handler.h"
#include "telephony/call_event_handler.h"
#include "telephony/telephony_window.h"

#include <QWidget>

#include <functional>
#include <vector>

namespace velmor {

class Error;

// The main window: it owns every control, all of Velmor's state and the hosted outside parties,
// and routes each event to its handler. The controls keep the names the window's design gave them
// (Label1, Check1, lstMessage, ...); docs/window.md says what each one shows.
class Form1 : public QWidget, public HvWindow, public JukeboxWindow, public TelephonyWindow {
    Q_OBJECT
public:
    explicit Form1(Form1Parts parts);
    ~Form1() override;

    // Start-up: shows the window, sets up the hosted controls and opens the links to HomeVision.
    // An error raised by a step ends it there.
    void Form_Load();
    // Shutdown, run when the window closes.
    void Form_Unload();

    // Runs start-up and reports an error that escapes it. Returns the exit status it calls for.
    int start();
    // Logs an error that ends the program and says so in the box; also for errors before a window exists.
    static void reportFatalError(const Error& error, MessageBox& box);

    [[nodiscard]] const Form1Controls& controls() const { return m_controls; }
    [[nodiscard]] DdeConversation& ddeConversation() { return m_ddeConversation; }
    [[nodiscard]] const PendingCommands& pendingCommands() const { return m_pendingCommands; }
    [[nodiscard]] const QString& currentArtist() const { return m_currentArtist; }

    // One turn of a wait on an outside party: the window paints and answers the desktop, while user input,
    // the peers' sockets and every handler wait until the wait is over.
    void serveWhileWaiting();

    // Hands a jukebox command to the jukebox from outside the window, exactly as the Send Command
    // button hands over what is typed in Text1, and through the same dispatch boundary.
    void sendJukeboxCommand(const QString& command);

    // HvWindow
    [[nodiscard]] QString caption(HvLabel label) const override;
    void setCaption(HvLabel label, const QString& caption) override;
    [[nodiscard]] qsizetype messageLogCount() const override;
    void removeMessageLogEntry(qsizetype index) override;
    void appendMessageLogEntry(const QString& entry) override;
    void selectMessageLogEntry(qsizetype index) override;

    // JukeboxWindow
    void setLabel1Caption(const QString& caption) override;
    [[nodiscard]] qint16 check1Value() const override;
    [[nodiscard]] QString cdInfoText() const override;

    // TelephonyWindow
    void setLabel19Caption(const QString& caption) override;

Q_SIGNALS:
    // The window has closed; the program ends with this status.
    void closed(int exitStatus);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Check1_Click();
    void Command1_Click();
    void sendToSlinkx(const QString& command);
    void btnClearList_Click();
    void connectHandlers();
    // Runs a step of start-up or shutdown; an error escaping it, of any kind, is shown in the message
    // box. Returns the exit status it calls for.
    int runToEnd(const std::function<void()>& step);
    void reportFatalError(const Error& error);
    // Serves the event loop until the display has put the window on screen, for a bounded time.
    void waitUntilOnScreen();
    [[nodiscard]] QLabel* labelFor(HvLabel label) const;
    // While a HomeVision message is handled, the log's changes wait until HomeVision was answered, and
    // then go in as they came: the list does far more for each than the rest of the handling. The count
    // the handler sees includes them meanwhile.
    void changeMessageLog(qsizetype countChange, std::function<void()> change);
    void makeMessageLogChanges();

    Form1Parts m_parts;
    Form1Controls m_controls;
    HandlerTurns m_turns;
    // How deep in serveWhileWaiting() this is: a close asked for meanwhile waits for the wait's end.
    int m_waiting = 0;
    PaintPacer m_paintPacer;

    bool m_loggingAfterwards = false;
    qsizetype m_countAfterwards = 0;
    std::vector<std::function<void()>> m_logChanges;

    PendingCommands m_pendingCommands;
    QString m_currentArtist;
    QString m_transmitPort;
    QString m_receivePort;

    DdeConversation m_ddeConversation;
    MessageHandler m_messageHandler;
    ReportHandler m_reportHandler;
    CallEventHandler m_callEventHandler;
};

} // namespace velmor
