#include "app/form1.h"
#include "tests/integration/dde/dde_bus_test.h"
#include "tests/support/window_on_links.h"

#include <QLabel>
#include <QTest>

#include <algorithm>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The main window with real DDE links on the given bus.
class DdeWindow : public WindowOnLinks<DbusDdeLink> {
public:
    explicit DdeWindow(const QDBusConnection& bus)
        : WindowOnLinks([&bus] { return std::make_unique<DbusDdeLink>(bus); }) {}

    [[nodiscard]] qint16 acknowledge() { return form->ddeConversation().Send_DDE_Message_Ack(); }

    // The four DDE labels in link order.
    [[nodiscard]] std::array<QString, 4> captions() const {
        return {caption("DDECommand"), caption("DDECommandAcknowledge"), caption("DDEMessage"),
                caption("DDEMessageAcknowledge")};
    }
    [[nodiscard]] QString caption(const char* label) const {
        return form->findChild<QLabel*>(QLatin1String(label))->text();
    }
    bool waitForCaption(const char* label, const QString& text) const {
        return QTest::qWaitFor([&] { return caption(label) == text; }, HomeVisionProcess::WaitTimeoutMs);
    }
};

const std::array<QString, 4> DesignCaptions{
    QStringLiteral("Command to send"), QStringLiteral("None received"),
    QStringLiteral("No message from HomeVision"), QStringLiteral("None sent")};

class DdeConversationBusTest : public DdeBusTest {
protected:
    DdeWindow window{bus.connection()};
};

TEST_F(DdeConversationBusTest, WithoutHomeVisionOneBoxThenEverySendFailsSilently) {
    EXPECT_EQ(window.open(), -1);
    EXPECT_THAT(window.log.entries(), ElementsAre(NotRunning));
    EXPECT_EQ(window.modes(), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(window.captions(), DesignCaptions);

    for (const QString& command : {QStringLiteral(",O1900"), QStringLiteral(",T0312")}) {
        EXPECT_EQ(window.send(command), -1);
        std::array<QString, 4> expected = DesignCaptions;
        expected[0] = command;
        EXPECT_EQ(window.captions(), expected);
    }
    EXPECT_EQ(window.acknowledge(), -1);
    EXPECT_THAT(window.log.entries(), ElementsAre(NotRunning));
}

TEST_F(DdeConversationBusTest, RefusedAdviseOfTheMessageLeavesTheFirstTwoLinksOpen) {
    ASSERT_TRUE(homeVision.start({QStringLiteral("--refuse-advise=DDEMessage")}));

    EXPECT_EQ(window.open(), -1);
    EXPECT_THAT(window.log.entries(), ElementsAre(UnknownError));
    EXPECT_EQ(window.modes(), (std::array<int, 4>{2, 1, 0, 0}));

    EXPECT_EQ(window.send(QStringLiteral(",O1900")), 0);
    EXPECT_TRUE(window.waitForCaption("DDECommandAcknowledge", QStringLiteral("OK 1")));
    EXPECT_EQ(window.acknowledge(), -1);
    EXPECT_THAT(homeVision.pokes("DDEMessageAcknowledge"), IsEmpty());
}

TEST_F(DdeConversationBusTest, EachMessageRunsTheHandlerAndTheAcknowledgementsAlternate) {
    ASSERT_TRUE(homeVision.start());
    ASSERT_EQ(window.open(), 0);
    EXPECT_THAT(window.log.entries(), IsEmpty());
    EXPECT_EQ(window.modes(), (std::array<int, 4>{2, 1, 1, 2}));

    for (const char* message : {"First", "Second ~cdj:playlist_play", "Third"})
        homeVision.writeLine(QString::fromUtf8(message));

    EXPECT_THAT(homeVision.waitForPokes("DDEMessageAcknowledge", 3), ElementsAre("OK 1", "OK 2", "OK 1"));
    EXPECT_TRUE(homeVision.waitFor([](const Transcript& t) {
        return std::count(t.begin(), t.end(),
                          TranscriptEntry{"sent", "ItemChanged", "DDEMessage", "Third"}) == 1;
    }));
    // The handler put the idle marker back after each message and kept the last acknowledgement.
    EXPECT_EQ(window.caption("DDEMessage"), QStringLiteral("--------"));
    EXPECT_EQ(window.caption("DDEMessageAcknowledge"), QStringLiteral("OK 1"));

    EXPECT_EQ(window.messageLog(),
              (QStringList{QStringLiteral("First"), QStringLiteral("Second ~cdj:playlist_play"),
                           QStringLiteral("Third")}));
    EXPECT_THAT(window.log.entries(), ElementsAre("SlinkSend  cdj:playlist_play"));
}

TEST_F(DdeConversationBusTest, CommandAcknowledgementOnlyUpdatesItsLabel) {
    ASSERT_TRUE(homeVision.start());
    ASSERT_EQ(window.open(), 0);

    for (const char* expected : {"OK 1", "OK 2", "OK 1"}) {
        EXPECT_EQ(window.send(QStringLiteral(",O1900")), 0);
        EXPECT_TRUE(window.waitForCaption("DDECommandAcknowledge", QString::fromUtf8(expected)));
    }

    std::array<QString, 4> expected = DesignCaptions;
    expected[0] = QStringLiteral(",O1900");
    expected[1] = QStringLiteral("OK 1");
    EXPECT_EQ(window.captions(), expected);
    EXPECT_THAT(homeVision.pokes("DDEMessageAcknowledge"), IsEmpty());
    EXPECT_THAT(window.log.entries(), IsEmpty());
}

TEST_F(DdeConversationBusTest, CommandTextReachesHomeVisionUnchanged) {
    ASSERT_TRUE(homeVision.start());
    ASSERT_EQ(window.open(), 0);
    const QString texts[] = {QString(), QStringLiteral(" ,O1900 \t"),
                             QStringLiteral("Grüße ~ «ñ» 日本 \U0001F3B5"),
                             QStringLiteral("line\nbreak|bar\"quote"), QString(100000, QLatin1Char('x'))};

    std::vector<std::string> expected;
    for (const QString& text : texts) {
        EXPECT_EQ(window.send(text), 0);
        EXPECT_EQ(window.caption("DDECommand"), text);
        expected.push_back(text.toStdString());
    }

    EXPECT_EQ(homeVision.waitForPokes("DDECommand", expected.size()), expected);
}

struct SilentFailure {
    const char* name;
    QStringList standInOptions;
};

void PrintTo(const SilentFailure& c, std::ostream* out) {
    *out << c.name;
}

class DdePokeFailureTest : public DdeConversationBusTest,
                           public ::testing::WithParamInterface<SilentFailure> {};

TEST_P(DdePokeFailureTest, SendReturnsMinusOneAndShowsNothing) {
    ASSERT_TRUE(homeVision.start(GetParam().standInOptions));
    ASSERT_EQ(window.open(), 0);

    EXPECT_EQ(window.send(QStringLiteral(",O1900")), -1);

    EXPECT_THAT(window.log.entries(), IsEmpty());
    EXPECT_EQ(window.caption("DDECommand"), QStringLiteral(",O1900"));
    EXPECT_EQ(window.caption("DDECommandAcknowledge"), QStringLiteral("None received"));
}

INSTANTIATE_TEST_SUITE_P(
    Pokes, DdePokeFailureTest,
    ::testing::Values(SilentFailure{"Refused", {QStringLiteral("--refuse-poke=DDECommand")}},
                      // Answers only after the link gave up waiting: the one test that waits that long.
                      SilentFailure{"TooLate", {QStringLiteral("--poke-delay=8000")}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(DdeConversationBusTest, HomeVisionEndingMidRunMakesLaterSendsFail) {
    ASSERT_TRUE(homeVision.start());
    ASSERT_EQ(window.open(), 0);
    ASSERT_EQ(window.send(QStringLiteral(",O1900")), 0);
    ASSERT_TRUE(window.waitForCaption("DDECommandAcknowledge", QStringLiteral("OK 1")));

    EXPECT_EQ(homeVision.stop(), 0);

    EXPECT_EQ(window.send(QStringLiteral(",O1901")), -1);
    EXPECT_EQ(window.acknowledge(), -1);
    EXPECT_EQ(window.acknowledge(), -1);
    EXPECT_EQ(window.caption("DDECommand"), QStringLiteral(",O1901"));
    // The alternation lives in the label and goes on regardless.
    EXPECT_EQ(window.caption("DDEMessageAcknowledge"), QStringLiteral("OK 2"));
    EXPECT_THAT(window.log.entries(), IsEmpty());
    EXPECT_EQ(window.modes(), (std::array<int, 4>{2, 1, 1, 2}));
}

TEST(DdeConversationWithoutBus, ReportsAnUnknownErrorOnceAndRunsOn) {
    NoBus noBus;
    DdeWindow window(noBus.connection());

    EXPECT_EQ(window.open(), -1);
    EXPECT_EQ(window.send(QStringLiteral(",O1900")), -1);
    EXPECT_EQ(window.acknowledge(), -1);

    EXPECT_THAT(window.log.entries(), ElementsAre(UnknownError));
    EXPECT_EQ(window.caption("DDEMessageAcknowledge"), QStringLiteral("OK 1"));
}

} // namespace
} // namespace velmor::test
