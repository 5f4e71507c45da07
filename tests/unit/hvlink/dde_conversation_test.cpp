#include "hvlink/dde_conversation.h"
#include "tests/support/fake_dde_link.h"
#include "tests/support/fake_message_box.h"
#include "tests/support/fake_window.h"

#include <QSignalSpy>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DdeConversationTest : public ::testing::Test {
protected:
    CallLog log;
    FakeWindow window;
    FakeMessageBox messageBox{log};
    FakeDdeLink command{log}, commandAck{log}, message{log}, messageAck{log};
    DdeConversation conversation{window, messageBox, {&command, &commandAck, &message, &messageAck}};

    void open() {
        ASSERT_EQ(conversation.Open_DDE_Link(), 0);
        log.clear();
    }
};

TEST_F(DdeConversationTest, OpensTheFourLinksInOrderWithTheirModes) {
    EXPECT_EQ(conversation.Open_DDE_Link(), 0);
    EXPECT_THAT(log.entries(),
                ElementsAre("HOMEVIS|DDE DDECommand mode 2", "HOMEVIS|DDE DDECommandAcknowledge mode 1",
                            "HOMEVIS|DDE DDEMessage mode 1", "HOMEVIS|DDE DDEMessageAcknowledge mode 2"));
}

struct OpenFailure {
    HvLabel failingLink;
    int number;
    std::string box;
    std::array<int, 4> modesAfter;
};

class DdeOpenFailureTest : public DdeConversationTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(DdeOpenFailureTest, StopsAtTheFirstFailureAndShowsOneBox) {
    const OpenFailure& p = GetParam();
    const DdeLinks<FakeDdeLink*> links{&command, &commandAck, &message, &messageAck};
    links[p.failingLink]->failModeWith(p.number);

    EXPECT_EQ(conversation.Open_DDE_Link(), -1);

    EXPECT_EQ(log.entries().back(), p.box);
    EXPECT_EQ(log.entries().size(), static_cast<std::size_t>(p.failingLink) + 2);
    std::array<int, 4> modes{};
    std::size_t i = 0;
    links.forEach([&](HvLabel, const FakeDdeLink* link) { modes.at(i++) = link->mode(); });
    EXPECT_EQ(modes, p.modesAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DdeOpenFailureTest,
    ::testing::Values(OpenFailure{HvLabel::DDECommand, 282, NotRunning, {0, 0, 0, 0}},
                      OpenFailure{HvLabel::DDECommand, 286, UnknownError, {0, 0, 0, 0}},
                      OpenFailure{HvLabel::DDEMessage, 5, UnknownError, {2, 1, 0, 0}},
                      OpenFailure{HvLabel::DDEMessageAcknowledge, 282, NotRunning, {2, 1, 1, 0}}));

TEST_F(DdeConversationTest, CommandIsShownThenPokedUnchanged) {
    open();
    const QString texts[] = {QString(), QStringLiteral(",O1900"), QStringLiteral("Grüße ~ «ñ»"),
                             QString(100000, QLatin1Char('x'))};
    for (const QString& text : texts) {
        log.clear();
        EXPECT_EQ(conversation.Send_DDE_Command(text), 0);
        EXPECT_EQ(window.caption(HvLabel::DDECommand), text);
        EXPECT_THAT(log.entries(), ElementsAre((QStringLiteral("DDECommand poke ") + text).toStdString()));
    }
}

TEST_F(DdeConversationTest, FailedCommandStillShowsItAndReportsNothing) {
    command.failModeWith(282);
    EXPECT_EQ(conversation.Open_DDE_Link(), -1);
    log.clear();

    EXPECT_EQ(conversation.Send_DDE_Command(QStringLiteral(",Y1E02")), -1);
    EXPECT_EQ(window.caption(HvLabel::DDECommand), QStringLiteral(",Y1E02"));
    EXPECT_EQ(window.caption(HvLabel::DDECommandAcknowledge), QStringLiteral("None received"));
    EXPECT_THAT(log.entries(), ElementsAre("DDECommand poke ,Y1E02"));
}

TEST_F(DdeConversationTest, AcknowledgementsAlternateEvenWhenPokesFail) {
    open();
    EXPECT_EQ(conversation.Send_DDE_Message_Ack(), 0);
    messageAck.failPokeWith(1);
    EXPECT_EQ(conversation.Send_DDE_Message_Ack(), -1);
    messageAck.failPokeWith(0);
    EXPECT_EQ(conversation.Send_DDE_Message_Ack(), -1);
    EXPECT_THAT(log.entries(),
                ElementsAre("DDEMessageAcknowledge poke OK 1", "DDEMessageAcknowledge poke OK 2",
                            "DDEMessageAcknowledge poke OK 1"));
}

TEST_F(DdeConversationTest, AnyOtherAcknowledgementCaptionRestartsAtOne) {
    open();
    window.setCaption(HvLabel::DDEMessageAcknowledge, QStringLiteral("ok 1"));
    conversation.Send_DDE_Message_Ack();
    EXPECT_EQ(window.caption(HvLabel::DDEMessageAcknowledge), QStringLiteral("OK 1"));
}

TEST_F(DdeConversationTest, DeliveriesUpdateLabelsAndOnlyMessageChangesNotify) {
    open();
    QSignalSpy changes(&conversation, &DdeConversation::DDEMessageChanged);

    commandAck.deliver(QStringLiteral("OK 1"));
    EXPECT_EQ(window.caption(HvLabel::DDECommandAcknowledge), QStringLiteral("OK 1"));
    EXPECT_EQ(changes.count(), 0);

    message.deliver(QStringLiteral("Hello"));
    message.deliver(QStringLiteral("Hello"));
    EXPECT_EQ(window.caption(HvLabel::DDEMessage), QStringLiteral("Hello"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_THAT(log.entries(), IsEmpty());
}

} // namespace
} // namespace velmor::test
