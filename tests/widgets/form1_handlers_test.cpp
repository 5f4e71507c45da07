#include "tests/widgets/form1_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(Form1Test, EachCheckBoxClickSendsTheCommandForItsNewState) {
    ASSERT_EQ(form->start(), 0);
    log.clear();
    auto* check1 = control<QCheckBox>("Check1");
    check1->click();
    check1->click();
    check1->click();
    EXPECT_THAT(log.entries(),
                ElementsAre("DDECommand poke ,L0702", "DDECommand poke ,O1900", "DDECommand poke ,L0702"));
    EXPECT_EQ(form->caption(HvLabel::DDECommand), QStringLiteral(",L0702"));
}

TEST_F(Form1Test, SendCommandPassesTheTextAsTyped) {
    auto* text1 = control<QLineEdit>("Text1");
    auto* command1 = control<QPushButton>("Command1");
    for (const QString& text :
         {QString(), QStringLiteral("  cdj:playlist_play "), QStringLiteral("no port")}) {
        text1->setText(text);
        command1->click();
    }
    EXPECT_THAT(log.entries(),
                ElementsAre("SlinkSend ", "SlinkSend   cdj:playlist_play ", "SlinkSend no port"));
    EXPECT_EQ(text1->text(), QStringLiteral("no port"));
}

TEST_F(Form1Test, SendCommandSurvivesAnErrorOrAnOutOfRangeResult) {
    auto* text1 = control<QLineEdit>("Text1");
    text1->setText(QStringLiteral("cdj:playlist_stop"));
    slinkx->setSendResult(40000);
    control<QPushButton>("Command1")->click();
    slinkx->failOperation(QStringLiteral("SlinkSend"));
    control<QPushButton>("Command1")->click();

    EXPECT_EQ(log.entries().size(), 2u);
    EXPECT_EQ(text1->text(), QStringLiteral("cdj:playlist_stop"));
}

TEST_F(Form1Test, ClearListEmptiesTheLogAndHangupDoesNothing) {
    auto* lstMessage = control<QListWidget>("lstMessage");
    form->appendMessageLogEntry(QStringLiteral("one"));
    control<QPushButton>("btnClearList")->click();
    control<QPushButton>("btnClearList")->click();
    control<QPushButton>("Connect")->click();
    EXPECT_EQ(lstMessage->count(), 0);
    EXPECT_THAT(log.entries(), IsEmpty());
}

TEST_F(Form1Test, ControlEventsReachTheirHandlers) {
    ASSERT_EQ(form->start(), 0);
    log.clear();
    callSoft1->call({}, {}, {}, QStringLiteral("5551234"), {});
    slinkx->report(QStringLiteral("cdj"), QStringLiteral("stopped"));
    EXPECT_EQ(control<QLabel>("Label19")->text(), QStringLiteral("yes"));
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("cdj:stopped"));
    EXPECT_THAT(log.entries(), ElementsAre("DDECommand poke ,Y1E02"));
}

} // namespace
} // namespace velmor::test
