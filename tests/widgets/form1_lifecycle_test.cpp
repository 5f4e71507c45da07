#include "tests/widgets/form1_fixture.h"

#include <QSignalSpy>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const char* const SlinkSetUp[] = {
    "SlinkDefinePort cdj type=devtx 1 1 0",
    "SlinkDefinePort cdjr type=devrx 1 1 0",
    "SlinkStart",
    "SlinkLoadDevice mdsls d:\\program files\\nirvis\\device files\\sony\\mdsls.cde 1 1 2",
    "SlinkLoadDevice ampsls d:\\program files\\nirvis\\device files\\sony\\de935sls.cde 1 1 1",
    "SlinkLoadDevice cdsls d:\\program files\\nirvis\\device files\\sony\\cdsls.cde 1 1 1",
};

TEST_F(Form1Test, StartUpShowsTheWindowThenSetsUpEveryPartInOrder) {
    callSoft1->onEnable = [&](qint32) {
        log.add(QStringLiteral("window shown %1, telephony place shown %2")
                    .arg(form->isVisible())
                    .arg(control<QWidget>("CallSoft1")->isVisible()));
    };
    EXPECT_EQ(form->start(), 0);

    std::vector<std::string> expected{"CallSoftEnable -1", "window shown 1, telephony place shown 0"};
    expected.insert(expected.end(), std::begin(SlinkSetUp), std::end(SlinkSetUp));
    expected.insert(expected.end(),
                    {"HOMEVIS|DDE DDECommand mode 2", "HOMEVIS|DDE DDECommandAcknowledge mode 1",
                     "HOMEVIS|DDE DDEMessage mode 1", "HOMEVIS|DDE DDEMessageAcknowledge mode 2"});
    EXPECT_THAT(log.entries(), ElementsAreArray(expected));
}

TEST_F(Form1Test, HomeVisionMissingShowsOneBoxAndStartUpStillSucceeds) {
    links.DDECommand->failModeWith(282);
    EXPECT_EQ(form->start(), 0);
    EXPECT_EQ(log.entries().back(), "MessageBox HomeVision is not running.  Please start it.");
    EXPECT_TRUE(form->isVisible());
}

class FailingStartUpTest : public Form1Test, public ::testing::WithParamInterface<const char*> {};

TEST_P(FailingStartUpTest, EndsBeforeAnyDdeLinkAndCallsForANonZeroExit) {
    slinkx->failOperation(QString::fromUtf8(GetParam()));
    EXPECT_EQ(form->start(), 1);
    for (const std::string& entry : log.entries())
        EXPECT_EQ(entry.find("HOMEVIS"), std::string::npos) << entry;
    EXPECT_EQ(log.entries().back(), "MessageBox Run-time error '5':\n\nInvalid procedure call");
}

INSTANTIATE_TEST_SUITE_P(Steps, FailingStartUpTest,
                         ::testing::Values("SlinkDefinePort", "SlinkStart", "SlinkLoadDevice"));

TEST_F(Form1Test, ClosingSwitchesTheTelephonyOffAndNothingElse) {
    ASSERT_EQ(form->start(), 0);
    log.clear();
    QSignalSpy closed(form.get(), &Form1::closed);

    EXPECT_TRUE(form->close());

    EXPECT_THAT(log.entries(), ElementsAre("CallSoftEnable 0"));
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.first().first().toInt(), 0);
}

} // namespace
} // namespace velmor::test
