#include "core/error.h"
#include "hvlink/dde_items.h"
#include "tests/integration/dde/dde_bus_test.h"
#include "tests/support/error_of.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const QString HomeVis = HomeVisionLinkTopic;

// The error number a call fails with; 0 when it succeeds.
template <typename Call> int failureOf(Call&& call) {
    const std::optional<Error> error = errorOf(std::forward<Call>(call));
    return error ? error->number() : 0;
}

struct OpenCase {
    const char* name;
    bool served;
    QStringList standInOptions;
    const char* topic;
    const char* item;
    int mode;
    int number;
};

void PrintTo(const OpenCase& c, std::ostream* out) {
    *out << c.name;
}

class DbusDdeLinkOpenTest : public DdeBusTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(DbusDdeLinkOpenTest, FailsWithItsNumberAndLeavesNoLink) {
    const OpenCase& c = GetParam();
    if (c.served) {
        ASSERT_TRUE(homeVision.start(c.standInOptions));
    }
    auto made = link(QString::fromUtf8(c.topic), QString::fromUtf8(c.item));

    EXPECT_EQ(failureOf([&] { made->setLinkMode(c.mode); }), c.number);
    EXPECT_EQ(made->mode(), DdeLink::None);
    EXPECT_EQ(failureOf([&] { made->poke(QStringLiteral("x")); }), 293);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DbusDdeLinkOpenTest,
    ::testing::Values(OpenCase{"NobodyServesManual", false, {}, "HOMEVIS|DDE", "DDECommand", 2, 282},
                      OpenCase{"NobodyServesAutomatic", false, {}, "HOMEVIS|DDE", "DDEMessage", 1, 282},
                      OpenCase{"OtherApplication", true, {}, "NOBODY|DDE", "DDECommand", 2, 282},
                      OpenCase{"OtherTopic", true, {}, "HOMEVIS|OTHER", "DDEMessage", 1, 282},
                      OpenCase{"AdviseRefused",
                               true,
                               {QStringLiteral("--refuse-advise=DDEMessage")},
                               "HOMEVIS|DDE",
                               "DDEMessage",
                               1,
                               285},
                      OpenCase{"NoBar", true, {}, "HOMEVIS", "DDECommand", 2, 297},
                      OpenCase{"EmptyTopic", true, {}, "HOMEVIS|", "DDECommand", 2, 297},
                      OpenCase{"NoApplication", true, {}, "|DDE", "DDECommand", 1, 297},
                      OpenCase{"UnknownMode", true, {}, "HOMEVIS|DDE", "DDECommand", 3, 380}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(DdeBusTest, OpensManualAndAutomaticLinksWithTheCallsTheServerExpects) {
    ASSERT_TRUE(homeVision.start());
    auto manual = link(HomeVis, QStringLiteral("DDECommand"));
    auto automatic = link(HomeVis, QStringLiteral("DDEMessage"));

    manual->setLinkMode(DdeLink::Manual);
    automatic->setLinkMode(DdeLink::Automatic);

    EXPECT_EQ(manual->mode(), DdeLink::Manual);
    EXPECT_EQ(automatic->mode(), DdeLink::Automatic);
    EXPECT_TRUE(homeVision.waitFor([](const Transcript& t) { return t.size() >= 3; }));
    EXPECT_THAT(homeVision.transcript(),
                ElementsAre(TranscriptEntry{"received", "Initiate", "", ""},
                            TranscriptEntry{"received", "Initiate", "", ""},
                            TranscriptEntry{"received", "Advise", "DDEMessage", ""}));
}

TEST_F(DdeBusTest, SettingTopicItemOrModeNoneSendsNothing) {
    ASSERT_TRUE(homeVision.start());
    auto quiet = link(HomeVis, QStringLiteral("DDECommand"));
    quiet->setLinkMode(DdeLink::None);
    // Anything that did go out would be in the transcript before this poke.
    auto marker = link(HomeVis, QStringLiteral("Marker"));
    marker->setLinkMode(DdeLink::Manual);
    marker->poke(QStringLiteral("end"));

    EXPECT_TRUE(homeVision.waitFor([](const Transcript& t) { return t.size() >= 2; }));
    EXPECT_THAT(homeVision.transcript(), ElementsAre(TranscriptEntry{"received", "Initiate", "", ""},
                                                     TranscriptEntry{"received", "Poke", "Marker", "end"}));
}

TEST_F(DdeBusTest, AutomaticLinkDeliversItsOwnItemOnly) {
    ASSERT_TRUE(homeVision.start());
    auto command = link(HomeVis, QStringLiteral("DDECommand"));
    auto commandAck = link(HomeVis, QStringLiteral("DDECommandAcknowledge"));
    auto message = link(HomeVis, QStringLiteral("DDEMessage"));
    command->setLinkMode(DdeLink::Manual);
    commandAck->setLinkMode(DdeLink::Automatic);
    message->setLinkMode(DdeLink::Automatic);
    QSignalSpy acks(commandAck.get(), &DdeLink::valueDelivered);
    QSignalSpy messages(message.get(), &DdeLink::valueDelivered);

    command->poke(QStringLiteral(",O1900"));
    homeVision.writeLine(QStringLiteral("Hello"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }, HomeVisionProcess::WaitTimeoutMs));
    // The acknowledgement went out before the message, so it has arrived by now too.
    ASSERT_EQ(acks.size(), 1);
    EXPECT_EQ(acks.at(0).at(0).toString(), QStringLiteral("OK 1"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.at(0).at(0).toString(), QStringLiteral("Hello"));
    // A Manual link hears nothing: it has no subscription.
    QSignalSpy commands(command.get(), &DdeLink::valueDelivered);
    command->poke(QStringLiteral(",O1901"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return acks.size() == 2; }, HomeVisionProcess::WaitTimeoutMs));
    EXPECT_THAT(commands, IsEmpty());
}

TEST_F(DdeBusTest, EndedLinkNoLongerPokesOrDelivers) {
    ASSERT_TRUE(homeVision.start());
    auto command = link(HomeVis, QStringLiteral("DDECommand"));
    auto commandAck = link(HomeVis, QStringLiteral("DDECommandAcknowledge"));
    auto watcher = link(HomeVis, QStringLiteral("DDECommandAcknowledge"));
    command->setLinkMode(DdeLink::Manual);
    commandAck->setLinkMode(DdeLink::Automatic);
    watcher->setLinkMode(DdeLink::Automatic);
    QSignalSpy ended(commandAck.get(), &DdeLink::valueDelivered);
    QSignalSpy open(watcher.get(), &DdeLink::valueDelivered);

    commandAck->setLinkMode(DdeLink::None);
    command->poke(QStringLiteral(",O1900"));
    command->setLinkMode(DdeLink::None);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !open.isEmpty(); }, HomeVisionProcess::WaitTimeoutMs));
    EXPECT_THAT(ended, IsEmpty());
    EXPECT_EQ(failureOf([&] { command->poke(QStringLiteral(",O1901")); }), 293);
}

TEST_F(DdeBusTest, PokeWaitsForTheReplyWithoutRunningTheEventLoop) {
    ASSERT_TRUE(homeVision.start({QStringLiteral("--poke-delay=300")}));
    auto command = link(HomeVis, QStringLiteral("DDECommand"));
    command->setLinkMode(DdeLink::Manual);
    bool ranDuringPoke = false;
    QTimer::singleShot(0, [&] { ranDuringPoke = true; });

    command->poke(QStringLiteral(",O1900"));

    EXPECT_FALSE(ranDuringPoke);
    EXPECT_THAT(homeVision.waitForPokes("DDECommand", 1), ElementsAre(",O1900"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ranDuringPoke; }, HomeVisionProcess::WaitTimeoutMs));
}

TEST_F(DdeBusTest, RefusedPokeFailsAsARefusal) {
    ASSERT_TRUE(homeVision.start({QStringLiteral("--refuse-poke=DDECommand")}));
    auto command = link(HomeVis, QStringLiteral("DDECommand"));
    command->setLinkMode(DdeLink::Manual);
    EXPECT_EQ(failureOf([&] { command->poke(QStringLiteral(",O1900")); }), 285);
}

TEST_F(DdeBusTest, LinkDestroyedBeforeItsValueArrivesIsNoHarm) {
    ASSERT_TRUE(homeVision.start());
    auto command = link(HomeVis, QStringLiteral("DDECommand"));
    command->setLinkMode(DdeLink::Manual);
    auto doomed = link(HomeVis, QStringLiteral("DDECommandAcknowledge"));
    doomed->setLinkMode(DdeLink::Automatic);
    auto survivor = link(HomeVis, QStringLiteral("DDECommandAcknowledge"));
    survivor->setLinkMode(DdeLink::Automatic);
    QSignalSpy delivered(survivor.get(), &DdeLink::valueDelivered);

    command->poke(QStringLiteral(",O1900"));
    doomed.reset();

    EXPECT_TRUE(QTest::qWaitFor([&] { return !delivered.isEmpty(); }, HomeVisionProcess::WaitTimeoutMs));
}

TEST_F(DdeBusTest, LinksStayWithTheHomeVisionThatAnsweredAndFailOnceItHasGone) {
    ASSERT_TRUE(homeVision.start());
    auto command = link(HomeVis, QStringLiteral("DDECommand"));
    auto message = link(HomeVis, QStringLiteral("DDEMessage"));
    command->setLinkMode(DdeLink::Manual);
    message->setLinkMode(DdeLink::Automatic);
    QSignalSpy messages(message.get(), &DdeLink::valueDelivered);
    ASSERT_EQ(homeVision.stop(), 0);

    // Another process takes HomeVision's name.
    HomeVisionProcess successor{QStringLiteral(VELMOR_HOMEVISION_PROGRAM), bus};
    ASSERT_TRUE(successor.start());
    EXPECT_EQ(failureOf([&] { command->poke(QStringLiteral("~cdj:playlist_play")); }), 282);
    // A link that did initiate with it hears its message; the old link, on the same connection, would
    // have been handed the same signal at the same time.
    auto newcomer = link(HomeVis, QStringLiteral("DDEMessage"));
    newcomer->setLinkMode(DdeLink::Automatic);
    QSignalSpy newcomerMessages(newcomer.get(), &DdeLink::valueDelivered);
    successor.writeLine(QStringLiteral("~cdj:playlist_play"));

    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !newcomerMessages.isEmpty(); }, HomeVisionProcess::WaitTimeoutMs));
    EXPECT_THAT(messages, IsEmpty());
    // The failed poke came before the newcomer's initiate, so it would stand first here.
    EXPECT_TRUE(successor.waitFor([](const Transcript& t) { return t.size() >= 3; }));
    EXPECT_THAT(successor.transcript(),
                ElementsAre(TranscriptEntry{"received", "Initiate", "", ""},
                            TranscriptEntry{"received", "Advise", "DDEMessage", ""},
                            TranscriptEntry{"sent", "ItemChanged", "DDEMessage", "~cdj:playlist_play"}));
}

TEST(DbusDdeLinkWithoutBus, FailsLikeAnyOtherFailure) {
    NoBus noBus;
    DbusDdeLink link(noBus.connection());
    link.setLinkTopic(HomeVis);
    link.setLinkItem(QStringLiteral("DDEMessage"));

    EXPECT_EQ(failureOf([&] { link.setLinkMode(DdeLink::Automatic); }), 291);
    EXPECT_EQ(failureOf([&] { link.poke(QStringLiteral("OK 1")); }), 293);
    EXPECT_EQ(link.mode(), DdeLink::None);
}

} // namespace
} // namespace velmor::test
