#include "app/form1.h"

#include "app/accessible_names.h"
#include "app/kept_frame.h"
#include "app/stored_settings.h"
#include "core/checked_int.h"
#include "core/error.h"
#include "core/log_categories.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace velmor {

namespace {

struct SonyDevice {
    const char* name;
    const char* descriptionFile;
    qint32 settings[3];
};

// What an error that is not one of Velmor's own is reported as: it carries no number.
constexpr int UnknownErrorNumber = -1;
// How long start-up waits for the display to put the window on screen before it goes on regardless.
constexpr int ExposeTimeoutMs = 2000;

constexpr SonyDevice SonyDevices[] = {
    {"mdsls", "d:\\program files\\nirvis\\device files\\sony\\mdsls.cde", {1, 1, 2}},
    {"ampsls", "d:\\program files\\nirvis\\device files\\sony\\de935sls.cde", {1, 1, 1}},
    {"cdsls", "d:\\program files\\nirvis\\device files\\sony\\cdsls.cde", {1, 1, 1}},
};

// The controls measure their captions as they are made. With the design's font already the window's,
// they do so once, in the font they show, instead of first in the application's and then again.
QWidget& inDesignFont(QWidget& form) {
    form.setFont(designFont());
    return form;
}

// Read as the PNG images they are: left to guess, or even told the format but allowed to guess, the
// image reader loads every image format plugin to ask it first.
QIcon velmorIcon() {
    QIcon icon;
    for (const QString& path :
         {QStringLiteral(":/velmor/velmor-32.png"), QStringLiteral(":/velmor/velmor-16.png")}) {
        QImageReader reader(path, "PNG");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

DdeConversation::Links rawLinks(const Form1Parts& parts) {
    return parts.ddeLinks.map([](const std::unique_ptr<DdeLink>& link) { return link.get(); });
}

// Ends a wait once the display has put the window on screen.
class ExposeWatch : public QObject {
public:
    explicit ExposeWatch(QEventLoop& loop)
        : m_loop(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            m_loop.quit();
        return false;
    }

private:
    QEventLoop& m_loop;
};

} // namespace

Form1::Form1(Form1Parts parts)
    : m_parts(std::move(parts))
    , m_controls(createForm1Controls(inDesignFont(*this)))
    , m_paintPacer(*this)
    , m_ddeConversation(*this, *m_parts.messageBox, rawLinks(m_parts))
    , m_messageHandler(*this, m_ddeConversation, *m_parts.slinkx, m_pendingCommands, m_currentArtist)
    , m_reportHandler(*this, *m_parts.files, m_ddeConversation, m_pendingCommands, m_currentArtist,
                      m_parts.nowPlayingObserver)
    , m_callEventHandler(*this, m_ddeConversation, m_parts.callObserver) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmor - Central Controls"));
    setWindowIcon(velmorIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(507, 404);
    nameForm1Controls(m_controls);
    for (QGroupBox* frame : {m_controls.Frame2, m_controls.Frame1})
        new KeptFrame(*frame);
    // Nothing moves or resizes a control after it is made. Fixed, a caption that changes no longer asks
    // its frame to lay it out again, an event for every caption set.
    for (QLabel* caption : findChildren<QLabel*>())
        caption->setFixedSize(caption->size());

    m_parts.slinkx->restoreStoredSettings(slinkxStoredSettings());
    m_parts.callSoft1->restoreStoredSettings(callSoft1StoredSettings());

    m_controls.lstMessage->setFocus();
    connect(&m_paintPacer, &PaintPacer::holdEnds, m_controls.lstMessage, &MessageLogList::catchUp);
    connectHandlers();
}

Form1::~Form1() = default;

void Form1::connectHandlers() {
    const Form1Controls& c = m_controls;
    connect(c.Check1, &QCheckBox::clicked, this,
            [this] { m_turns.run("Check1_Click", {}, [this] { Check1_Click(); }); });
    connect(c.Command1, &QPushButton::clicked, this, [this] {
        m_turns.run("Command1_Click", m_controls.Text1->text(), [this] { Command1_Click(); });
    });
    // The send button is the window's default: Enter in the command box sends.
    connect(c.Text1, &QLineEdit::returnPressed, c.Command1, &QPushButton::click);
    connect(c.btnClearList, &QPushButton::clicked, this,
            [this] { m_turns.run("btnClearList_Click", {}, [this] { btnClearList_Click(); }); });

    connect(&m_ddeConversation, &DdeConversation::DDEMessageChanged, this, [this] {
        m_turns.run("DDEMessage_Change", caption(HvLabel::DDEMessage), [this] {
            m_paintPacer.hold();
            m_controls.lstMessage->holdBack();
            // Putting the idle marker back runs the handler again, nested, before HomeVision is answered.
            const bool outermost = !std::exchange(m_loggingAfterwards, true);
            const auto logAfterwards = qScopeGuard([this, outermost] {
                if (outermost) {
                    m_loggingAfterwards = false;
                    makeMessageLogChanges();
                }
            });
            m_messageHandler.DDEMessage_Change();
        });
    });
    // What a handler is given is copied: a kept one runs after the signal has returned.
    connect(m_parts.slinkx.get(), &SlinkControl::SlinkReceived, this,
            [this](const QString& sourceName, const QString& message) {
                m_turns.run("Slinkx_SlinkReceived", sourceName + QLatin1Char(':') + message,
                            [this, sourceName, message] {
                                m_reportHandler.Slinkx_SlinkReceived(sourceName, message);
                            });
            });
    connect(m_parts.callSoft1.get(), &TelephonyControl::CallSoftCallEvent, this,
            [this](const QString& t1, const QString& t2, const QString& t3, const QString& t4,
                   const QString& t5) {
                m_turns.run("CallSoft1_CallSoftCallEvent", t4, [this, t1, t2, t3, t4, t5] {
                    m_callEventHandler.CallSoft1_CallSoftCallEvent(t1, t2, t3, t4, t5);
                });
            });
}

void Form1::serveWhileWaiting() {
    const HandlerTurns::Waiting waiting(m_turns);
    ++m_waiting;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    --m_waiting;
}

void Form1::Form_Load() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    waitUntilOnScreen();
    m_controls.CallSoft1->setVisible(false);
    m_parts.callSoft1->setCallSoftEnable(-1);

    SlinkControl& slinkx = *m_parts.slinkx;
    m_transmitPort = QStringLiteral("cdj");
    m_receivePort = QStringLiteral("cdjr");
    slinkx.SlinkDefinePort(m_transmitPort, QStringLiteral("type=devtx"), 1, 1, 0);
    slinkx.SlinkDefinePort(m_receivePort, QStringLiteral("type=devrx"), 1, 1, 0);
    slinkx.SlinkStart();
    for (const SonyDevice& device : SonyDevices) {
        slinkx.SlinkLoadDevice(QLatin1String(device.name), QLatin1String(device.descriptionFile),
                               device.settings[0], device.settings[1], device.settings[2]);
    }

    // Opening the links waits on HomeVision without serving the event loop: the user sees the whole
    // window meanwhile, not an empty frame.
    repaint();
    m_ddeConversation.Open_DDE_Link();
}

void Form1::waitUntilOnScreen() {
    QWindow* const window = windowHandle();
    if (window == nullptr || window->isExposed())
        return;
    // Nothing of Velmor's has started yet, so no handler can run here; user input and sockets (a
    // termination signal among them) wait meanwhile.
    QEventLoop loop;
    ExposeWatch watch(loop);
    window->installEventFilter(&watch);
    QTimer::singleShot(ExposeTimeoutMs, &loop, &QEventLoop::quit);
    if (!window->isExposed())
        loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    window->removeEventFilter(&watch);
}

void Form1::Form_Unload() {
    m_parts.callSoft1->setCallSoftEnable(0);
}

int Form1::start() {
    return runToEnd([this] { Form_Load(); });
}

int Form1::runToEnd(const std::function<void()>& step) {
    try {
        step();
        return 0;
    } catch (const Error& e) {
        reportFatalError(e);
    } catch (const std::exception& e) {
        reportFatalError(Error(UnknownErrorNumber, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        reportFatalError(Error(UnknownErrorNumber, QStringLiteral("Unknown error")));
    }
    return 1;
}

void Form1::reportFatalError(const Error& error) {
    reportFatalError(error, *m_parts.messageBox);
}

void Form1::reportFatalError(const Error& error, MessageBox& box) {
    qCCritical(lcApp, "Velmor stops: error %d: %s", error.number(), qUtf8Printable(error.description()));
    box.show(QStringLiteral("Run-time error '%1':\n\n%2").arg(error.number()).arg(error.description()));
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_waiting > 0) {
        event->ignore();
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    const int exitStatus = runToEnd([this] { Form_Unload(); });
    event->accept();
    Q_EMIT closed(exitStatus);
}

void Form1::Check1_Click() {
    m_ddeConversation.Send_DDE_Command(check1Value() != 0 ? QStringLiteral(",O1900")
                                                          : QStringLiteral(",L0702"));
}

void Form1::Command1_Click() {
    sendToSlinkx(m_controls.Text1->text());
}

void Form1::sendJukeboxCommand(const QString& command) {
    m_turns.run("Command1_Click", command, [this, command] { sendToSlinkx(command); });
}

void Form1::sendToSlinkx(const QString& command) {
    [[maybe_unused]] const qint16 result = toInt16(m_parts.slinkx->SlinkSend(command));
}

void Form1::btnClearList_Click() {
    m_controls.lstMessage->clear();
}

QLabel* Form1::labelFor(HvLabel label) const {
    switch (label) {
    case HvLabel::DDECommand:
        return m_controls.DDECommand;
    case HvLabel::DDECommandAcknowledge:
        return m_controls.DDECommandAcknowledge;
    case HvLabel::DDEMessage:
        return m_controls.DDEMessage;
    case HvLabel::DDEMessageAcknowledge:
        return m_controls.DDEMessageAcknowledge;
    case HvLabel::Label2:
        return m_controls.Label2;
    case HvLabel::Label5:
        return m_controls.Label5;
    }
    Q_UNREACHABLE();
}

QString Form1::caption(HvLabel label) const {
    return labelFor(label)->text();
}

void Form1::setCaption(HvLabel label, const QString& caption) {
    velmor::setCaption(*labelFor(label), caption);
}

qsizetype Form1::messageLogCount() const {
    return m_controls.lstMessage->count() + m_countAfterwards;
}

void Form1::removeMessageLogEntry(qsizetype index) {
    changeMessageLog(-1, [this, index] { delete m_controls.lstMessage->takeItem(static_cast<int>(index)); });
}

void Form1::appendMessageLogEntry(const QString& entry) {
    changeMessageLog(+1, [this, entry] { m_controls.lstMessage->addItem(entry); });
}

void Form1::selectMessageLogEntry(qsizetype index) {
    changeMessageLog(0, [this, index] { m_controls.lstMessage->selectRow(static_cast<int>(index)); });
}

void Form1::changeMessageLog(qsizetype countChange, std::function<void()> change) {
    if (!m_loggingAfterwards) {
        change();
        return;
    }
    m_countAfterwards += countChange;
    m_logChanges.push_back(std::move(change));
}

void Form1::makeMessageLogChanges() {
    m_countAfterwards = 0;
    for (const std::function<void()>& change : std::exchange(m_logChanges, {}))
        change();
}

void Form1::setLabel1Caption(const QString& caption) {
    velmor::setCaption(*m_controls.Label1, caption);
}

qint16 Form1::check1Value() const {
    return m_controls.Check1->isChecked() ? 1 : 0;
}

QString Form1::cdInfoText() const {
    return m_controls.CDInfo->text();
}

void Form1::setLabel19Caption(const QString& caption) {
    velmor::setCaption(*m_controls.Label19, caption);
}

} // namespace velmor
