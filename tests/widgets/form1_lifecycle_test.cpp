#include "core/error.h"
#include "tests/widgets/form1_fixture.h"

#include <QPaintEvent>
#include <QSignalSpy>

#include <set>
#include <stdexcept>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

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

// Remembers which widgets have had a paint event.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget& window) {
        window.installEventFilter(this);
        for (QWidget* child : window.findChildren<QWidget*>())
            child->installEventFilter(this);
    }

    // The widgets on screen that were never painted, by name.
    [[nodiscard]] std::vector<std::string> unpainted(const QWidget& window) const {
        std::vector<std::string> names;
        QList<QWidget*> widgets = window.findChildren<QWidget*>();
        widgets.prepend(const_cast<QWidget*>(&window));
        for (const QWidget* widget : widgets) {
            if (widget->isVisible() && !m_painted.contains(widget))
                names.push_back(widget->objectName().toStdString());
        }
        return names;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            m_painted.insert(watched);
        return false;
    }

private:
    std::set<const QObject*> m_painted;
};

TEST_F(Form1Test, TheWholeWindowIsPaintedBeforeStartUpWaitsOnHomeVision) {
    PaintWatch paints(*form);
    std::optional<std::vector<std::string>> unpaintedAtFirstLink;
    links.DDECommand->onMode = [&](int) {
        if (!unpaintedAtFirstLink)
            unpaintedAtFirstLink = paints.unpainted(*form);
    };
    ASSERT_EQ(form->start(), 0);
    ASSERT_TRUE(unpaintedAtFirstLink);
    EXPECT_THAT(*unpaintedAtFirstLink, IsEmpty());
}

// Start-up and shutdown turn an error of any kind into the same box and a non-zero exit.
struct FatalError {
    const char* name;
    std::function<void()> raise;
    const char* box;
};

const FatalError FatalErrors[] = {
    {"VelmorsOwn", [] { throw Error(75, QStringLiteral("Path/File access error")); },
     "MessageBox Run-time error '75':\n\nPath/File access error"},
    {"Standard", [] { throw std::runtime_error("disk full"); },
     "MessageBox Run-time error '-1':\n\ndisk full"},
    {"AnythingElse", [] { throw 42; }, "MessageBox Run-time error '-1':\n\nUnknown error"},
};

class FatalErrorTest : public Form1Test, public ::testing::WithParamInterface<FatalError> {};

TEST_P(FatalErrorTest, EscapingStartUpShowsTheBoxAndCallsForExitStatusOne) {
    callSoft1->onEnable = [&](qint32) { GetParam().raise(); };
    EXPECT_EQ(form->start(), 1);
    EXPECT_EQ(log.entries().back(), GetParam().box);
}

TEST_P(FatalErrorTest, EscapingShutdownShowsTheBoxAndCallsForExitStatusOne) {
    ASSERT_EQ(form->start(), 0);
    callSoft1->onEnable = [&](qint32) { GetParam().raise(); };
    QSignalSpy closed(form.get(), &Form1::closed);

    EXPECT_TRUE(form->close());

    EXPECT_EQ(log.entries().back(), GetParam().box);
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.first().first().toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FatalErrorTest, ::testing::ValuesIn(FatalErrors),
                         [](const ::testing::TestParamInfo<FatalError>& tested) {
                             return std::string(tested.param.name);
                         });

} // namespace
} // namespace velmor::test
