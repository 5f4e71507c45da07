#include "core/handler_guard.h"
#include "hvlink/dde_conversation.h"
#include "hvlink/message_handler.h"
#include "tests/support/fake_dde_link.h"
#include "tests/support/fake_message_box.h"
#include "tests/support/fake_slink_control.h"
#include "tests/support/fake_window.h"
#include "tests/support/play_artist_sends.h"

#include <gmock/gmock.h>

#include <optional>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const std::string Ack1 = "DDEMessageAcknowledge poke OK 1";

// The window, the conversation over fake links and the jukebox fake, all recording into one log, with
// the slot wired to the handler through the dispatch boundary the way the window wires it.
class MessageHandlerTest : public ::testing::Test {
protected:
    MessageHandlerTest() {
        QObject::connect(&conversation, &DdeConversation::DDEMessageChanged, [this] {
            handlingsEnded += !runHandler("DDEMessage_Change", window.caption(HvLabel::DDEMessage),
                                          [this] { handler.DDEMessage_Change(); });
        });
        EXPECT_EQ(conversation.Open_DDE_Link(), 0);
        log.clear();
    }

    // HomeVision puts a message into the slot.
    void receive(const QString& text) { message.deliver(text); }

    CallLog log;
    FakeWindow window;
    FakeMessageBox messageBox{log};
    FakeDdeLink command{log}, commandAck{log}, message{log}, messageAck{log};
    DdeConversation conversation{window, messageBox, {&command, &commandAck, &message, &messageAck}};
    FakeSlinkControl slinkx{log};
    PendingCommands pendingCommands;
    QString currentArtist;
    MessageHandler handler{window, conversation, slinkx, pendingCommands, currentArtist};
    int handlingsEnded = 0;
};

struct MessageCase {
    const char* message;
    const char* artist;
    std::optional<const char*> label2; // none: Label2 keeps what it showed
    std::vector<std::string> sends;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << '"' << c.message << '"';
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class MessageExamplesTest : public MessageHandlerTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(MessageExamplesTest, LogsForwardsAcknowledgesAndReleasesInOrder) {
    const MessageCase& c = GetParam();
    const QString text = QString::fromUtf8(c.message);
    currentArtist = QString::fromUtf8(c.artist);
    window.setCaption(HvLabel::Label2, QStringLiteral("earlier"));
    pendingCommands[4] = QStringLiteral(",O1900");

    receive(text);

    std::vector<std::string> expected = c.sends;
    expected.push_back(Ack1);
    expected.push_back("DDECommand poke ,O1900");
    EXPECT_THAT(log.entries(), ElementsAreArray(expected));
    EXPECT_EQ(window.caption(HvLabel::Label2), QString::fromUtf8(c.label2.value_or("earlier")));
    EXPECT_EQ(window.messageLog, QStringList{text});
    EXPECT_EQ(window.selectedEntry, 0);
    EXPECT_EQ(window.caption(HvLabel::DDEMessage), QStringLiteral("--------"));
    EXPECT_EQ(window.caption(HvLabel::Label5), QStringLiteral(",O1900"));
    EXPECT_EQ(handlingsEnded, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, MessageExamplesTest,
    ::testing::Values(
        MessageCase{"Jukebox~cdj:playlist_play", "", " cdj:playlist_play", {"SlinkSend  cdj:playlist_play"}},
        MessageCase{"a~b~~d~", "", " b  d ", {"SlinkSend  b  d "}},
        MessageCase{"KRZ:PlayThisArtist", "Ann Other", std::nullopt, playArtistSends("Ann Other")},
        MessageCase{"KRZ:PlayThisArtist~x", "Ann Other", " x",
                    concat({"SlinkSend  x"}, playArtistSends("Ann Other"))},
        MessageCase{"krz:playthisartist", "Ann Other", std::nullopt, {}},
        MessageCase{"x KRZ:PlayThisArtist", "Ann Other", std::nullopt, {}},
        MessageCase{"KRZ:PlayThisArtis", "Ann Other", std::nullopt, {}},
        MessageCase{"KRZ:PlayThisArtistNow", "The \"Pines\" <Live>", std::nullopt,
                    playArtistSends("The \"Pines\" <Live>")},
        MessageCase{"KRZ:PlayThisArtist", "", std::nullopt, playArtistSends("")},
        MessageCase{"~", "", " ", {"SlinkSend  "}}, MessageCase{"", "", std::nullopt, {}},
        MessageCase{"Grüße~«ñ»~", "", " «ñ» ", {"SlinkSend  «ñ» "}}));

TEST_F(MessageHandlerTest, IdleMarkerDoesNothingAtAll) {
    pendingCommands[1] = QStringLiteral(",?1F000C");
    window.setCaption(HvLabel::Label2, QStringLiteral("earlier"));

    receive(QStringLiteral("--------"));
    handler.DDEMessage_Change();

    EXPECT_THAT(log.entries(), IsEmpty());
    EXPECT_THAT(window.messageLog, IsEmpty());
    EXPECT_EQ(window.caption(HvLabel::Label2), QStringLiteral("earlier"));
    EXPECT_EQ(window.caption(HvLabel::DDEMessageAcknowledge), QStringLiteral("None sent"));
    EXPECT_EQ(pendingCommands[1], QStringLiteral(",?1F000C"));
}

TEST_F(MessageHandlerTest, RepeatedMessageIsHandledAgainAndAcknowledgementsAlternate) {
    receive(QStringLiteral("same"));
    receive(QStringLiteral("same"));
    EXPECT_THAT(log.entries(), ElementsAre(Ack1, "DDEMessageAcknowledge poke OK 2"));
    EXPECT_EQ(window.messageLog, QStringList(2, QStringLiteral("same")));
}

struct LogBoundary {
    int before;
    int after;
    int firstKept;
};

class MessageLogBoundaryTest : public MessageHandlerTest,
                               public ::testing::WithParamInterface<LogBoundary> {};

TEST_P(MessageLogBoundaryTest, KeepsTheNewest51) {
    for (int i = 0; i < GetParam().before; ++i)
        window.messageLog.append(QString::number(i));

    receive(QStringLiteral("new"));

    ASSERT_EQ(window.messageLog.size(), GetParam().after);
    EXPECT_EQ(window.messageLog.first(), QString::number(GetParam().firstKept));
    EXPECT_EQ(window.messageLog.last(), QStringLiteral("new"));
    EXPECT_EQ(window.selectedEntry, GetParam().after - 1);
}

INSTANTIATE_TEST_SUITE_P(Boundary, MessageLogBoundaryTest,
                         ::testing::Values(LogBoundary{49, 50, 0}, LogBoundary{50, 51, 0},
                                           LogBoundary{51, 51, 1}));

TEST_F(MessageHandlerTest, ParkedCommandsGoOutOnePerMessageLowestFirst) {
    pendingCommands[3] = QStringLiteral(",O1900");
    pendingCommands[1] = QStringLiteral(",?1F000C");
    pendingCommands[2] = QStringLiteral(",?20002D");

    for (const char* text : {"one", "two", "three", "four"})
        receive(QString::fromUtf8(text));

    EXPECT_THAT(log.entries(),
                ElementsAre(Ack1, "DDECommand poke ,?1F000C", "DDEMessageAcknowledge poke OK 2",
                            "DDECommand poke ,?20002D", Ack1, "DDECommand poke ,O1900",
                            "DDEMessageAcknowledge poke OK 2"));
    EXPECT_EQ(window.caption(HvLabel::Label5), QStringLiteral(",O1900"));
}

TEST_F(MessageHandlerTest, JukeboxErrorEndsThatHandlingOnlyAndTheNextMessageIsHandled) {
    pendingCommands[1] = QStringLiteral(",?1F000C");
    slinkx.failOperation(QStringLiteral("SlinkSend"));

    receive(QStringLiteral("KRZ:PlayThisArtist~x"));

    EXPECT_EQ(handlingsEnded, 1);
    EXPECT_THAT(log.entries(), ElementsAre("SlinkSend  x"));
    EXPECT_EQ(window.caption(HvLabel::DDEMessage), QStringLiteral("KRZ:PlayThisArtist~x"));
    EXPECT_EQ(pendingCommands[1], QStringLiteral(",?1F000C"));

    slinkx.failOperation(QString());
    log.clear();
    receive(QStringLiteral("next~y"));

    EXPECT_EQ(handlingsEnded, 1);
    EXPECT_THAT(log.entries(), ElementsAre("SlinkSend  y", Ack1, "DDECommand poke ,?1F000C"));
    EXPECT_EQ(window.messageLog,
              (QStringList{QStringLiteral("KRZ:PlayThisArtist~x"), QStringLiteral("next~y")}));
}

TEST_F(MessageHandlerTest, ArtistIsReadOnceBeforeTheSequence) {
    currentArtist = QStringLiteral("First");
    slinkx.onSend = [this](const QString&) { currentArtist = QStringLiteral("Second"); };

    receive(QStringLiteral("KRZ:PlayThisArtist"));

    EXPECT_EQ(log.entries()[4], "SlinkSend cdj:search[artist == \"First\"]");
}

TEST_F(MessageHandlerTest, MillionCharacterMessageIsHandledWhole) {
    QString text(1'000'000, QLatin1Char('x'));
    text[10] = QLatin1Char('~');
    text[500'000] = QLatin1Char('~');

    receive(text);

    const QString forwarded = window.caption(HvLabel::Label2);
    ASSERT_EQ(forwarded.size(), 1'000'000 - 10);
    EXPECT_EQ(forwarded.count(QLatin1Char(' ')), 2);
    EXPECT_EQ(forwarded.at(500'000 - 10), QLatin1Char(' '));
    EXPECT_EQ(window.messageLog.last(), text);
    EXPECT_EQ(log.entries().back(), Ack1);
}

} // namespace
} // namespace velmor::test
