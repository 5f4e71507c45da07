#include "tests/widgets/form1_fixture.h"

#include <QAccessible>
#include <QAccessibleInterface>

#include <set>

namespace velmor::test {
namespace {

struct Announced {
    const char* control;
    QAccessible::Role role;
    const char* name;
};

std::string nameOf(QWidget& control) {
    return QAccessible::queryAccessibleInterface(&control)->text(QAccessible::Name).toStdString();
}

// What a screen reader announces for each control once a message has been handled and a track reported:
// the value labels read as what they show and the value, the text box by its own name, not its frame's.
TEST_F(Form1Test, EveryControlIsAnnouncedByANameOfItsOwn) {
    form->setCaption(HvLabel::DDECommand, QStringLiteral(",O1900"));
    form->setCaption(HvLabel::DDECommandAcknowledge, QStringLiteral("OK 1"));
    form->setCaption(HvLabel::DDEMessageAcknowledge, QStringLiteral("OK 2"));
    form->setLabel1Caption(QStringLiteral("cdj:stopped"));
    form->setLabel19Caption(QStringLiteral("yes"));

    const Announced expected[] = {
        {"CallSoft1", QAccessible::Client, "Caller ID"},
        {"Connect", QAccessible::Button, "Hangup"},
        {"Frame8", QAccessible::Grouping, "CD Info Path"},
        {"CDInfo", QAccessible::EditableText, "Now-playing file"},
        {"Check1", QAccessible::CheckBox, "Display Track Info on TV"},
        {"Command1", QAccessible::Button, "Send Command"},
        {"Frame2", QAccessible::Grouping, "HV DDE"},
        {"btnClearList", QAccessible::Button, "Clear List"},
        {"lstMessage", QAccessible::List, "HomeVision's messages"},
        {"DDEMessageAcknowledge", QAccessible::StaticText, "Velmor's answer to the last message: OK 2"},
        {"DDEMessage", QAccessible::StaticText, "Last message from HomeVision: No message from HomeVision"},
        {"DDECommandAcknowledge", QAccessible::StaticText, "HomeVision's answer to the last command: OK 1"},
        {"DDECommand", QAccessible::StaticText, "Last command to HomeVision: ,O1900"},
        {"Frame1", QAccessible::Grouping, "CDJ Messages"},
        {"Text1", QAccessible::EditableText, "Jukebox command"},
        {"Label2", QAccessible::StaticText, "Last command HomeVision sent the jukebox"},
        {"Label4", QAccessible::StaticText, "Last sent to the jukebox"},
        {"Label3", QAccessible::StaticText, "Last received from the jukebox"},
        {"Label1", QAccessible::StaticText, "Last report from the jukebox: cdj:stopped"},
        {"Label19", QAccessible::StaticText, "Call received: yes"},
        {"Label5", QAccessible::StaticText, "Last command released to HomeVision"},
    };
    std::set<std::string> names;
    for (const Announced& a : expected) {
        QWidget* control = this->control<QWidget>(a.control);
        ASSERT_NE(control, nullptr);
        QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(control);
        EXPECT_EQ(announced->role(), a.role) << a.control;
        EXPECT_EQ(nameOf(*control), a.name) << a.control;
        names.insert(nameOf(*control));
    }
    EXPECT_EQ(names.size(), std::size(expected)) << "two controls share a name";
    EXPECT_EQ(form->controls().all().size(), std::size(expected));
    // The captions themselves stay as they were set.
    EXPECT_EQ(form->caption(HvLabel::DDECommand), QStringLiteral(",O1900"));
}

} // namespace
} // namespace velmor::test
