#include "app/accessible_names.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace velmor {

namespace {

struct AccessibleText {
    const char* control;
    const char* name;
    const char* description;
    // The name is completed with the label's caption whenever it changes.
    bool showsValue = false;
};

// Where a control's visible caption says what it is, the name repeats it; the captions misspelt in
// the design are spelt right here, for they are read aloud.
constexpr AccessibleText AccessibleTexts[] = {
    {"Frame2", "HV DDE", "The conversation with HomeVision: the last values exchanged and its messages"},
    {"DDECommand", "Last command to HomeVision", "", true},
    {"DDECommandAcknowledge", "HomeVision's answer to the last command", "", true},
    {"DDEMessage", "Last message from HomeVision", "", true},
    {"DDEMessageAcknowledge", "Velmor's answer to the last message", "", true},
    {"btnClearList", "Clear List", "Empties the list of HomeVision's messages"},
    {"lstMessage", "HomeVision's messages", "The latest messages from HomeVision, the newest last"},
    {"Check1", "Display Track Info on TV",
     "Each click sends HomeVision the television command; while ticked, each new track is also shown on TV"},
    {"Label5", "Last command released to HomeVision", "", true},
    {"Frame1", "CDJ Messages",
     "The jukebox: its last report, the last command HomeVision sent it, and a "
     "command of your own"},
    {"Label3", "Last received from the jukebox", ""},
    {"Label1", "Last report from the jukebox", "", true},
    {"Label4", "Last sent to the jukebox", ""},
    {"Label2", "Last command HomeVision sent the jukebox", "", true},
    {"Text1", "Jukebox command", "A command for the jukebox, such as cdj:playlist_next; Enter sends it"},
    {"Command1", "Send Command", "Sends the jukebox command typed in the box beside it"},
    {"Frame8", "CD Info Path", "Where the track now playing is written"},
    {"CDInfo", "Now-playing file", "The path of the file that each new track is written to"},
    {"Label19", "Call received", "", true},
    {"Connect", "Hangup", "Has no action"},
    {"CallSoft1", "Caller ID", "The place of the caller-ID control, hidden"},
};

const AccessibleText* accessibleTextOf(const QObject& control) {
    for (const AccessibleText& text : AccessibleTexts) {
        if (control.objectName() == QLatin1String(text.control))
            return &text;
    }
    return nullptr;
}

} // namespace

QString valueLabelName(const QString& what, const QString& value) {
    return value.isEmpty() ? what : what + QStringLiteral(": ") + value;
}

void nameForm1Controls(const Form1Controls& controls) {
    for (QWidget* control : controls.all()) {
        const AccessibleText* text = accessibleTextOf(*control);
        if (text == nullptr)
            continue;
        control->setAccessibleDescription(QLatin1String(text->description));
        if (auto* label = qobject_cast<QLabel*>(control); label != nullptr && text->showsValue)
            setCaption(*label, label->text());
        else
            control->setAccessibleName(QLatin1String(text->name));
    }
}

void setCaption(QLabel& label, const QString& caption) {
    label.setText(caption);
    if (const AccessibleText* text = accessibleTextOf(label); text != nullptr && text->showsValue)
        label.setAccessibleName(valueLabelName(QLatin1String(text->name), caption));
}

} // namespace velmor
