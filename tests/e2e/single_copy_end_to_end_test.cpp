#include "platform/mqtt/mosquitto_library.h"
#include "tests/e2e/end_to_end_test.h"
#include "tests/support/mqtt_listener.h"

#include <QTest>

#include <algorithm>

namespace velmor::test {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;

const QString GuardedName = QStringLiteral("org.velmor.Velmor");

// The claim is made on the session bus, whichever transport carries the conversation.
class SingleCopyEndToEndTest : public EndToEndTest {
protected:
    [[nodiscard]] Transport transport() const override { return Transport::Dbus; }
};

TEST_F(SingleCopyEndToEndTest, ASecondCopyOnTheSameBusShowsTheFirstAndTouchesNoPeer) {
    ASSERT_NO_FATAL_FAILURE(startHomeVision());
    ASSERT_NO_FATAL_FAILURE(startVelmor());
    const PeerConnections mpdBefore = peers().mpdConnections();
    const PeerConnections ncidBefore = peers().ncidConnections();

    VelmorProcess second(peers().velmorEnvironment(Screen::Offscreen, transport()));
    ASSERT_TRUE(second.start());
    EXPECT_EQ(second.waitForExit(), 0) << second.standardError().toStdString();
    EXPECT_THAT(second.standardError().toStdString(),
                HasSubstr("Velmor already runs on this session bus; showing its window instead\n"));
    EXPECT_THAT(velmor->standardError().toStdString(), HasSubstr("asked for the window"));
    EXPECT_EQ(peers().mpdConnections().newest, mpdBefore.newest) << "the second copy reached MPD";
    EXPECT_EQ(peers().ncidConnections().newest, ncidBefore.newest) << "the second copy reached NCID";

    // A search the jukebox carried out twice would queue every track twice.
    const std::string message = "Jukebox~cdj:search[artist == \"The Quiet Pines\"]";
    homeVision->writeLine(QString::fromStdString(message));
    ASSERT_TRUE(waitForConversation([&](const std::vector<std::string>& events) {
        return std::count(events.begin(), events.end(), "acknowledged") > 0;
    }));
    std::vector<std::string> expected = JukeboxConnectedCommands;
    expected.insert(expected.end(), {"message " + message, "acknowledged"});
    EXPECT_EQ(conversationNow(), expected);
    EXPECT_THAT(probe().queue(), UnorderedElementsAreArray(tracksBy(QStringLiteral("The Quiet Pines"))));
}

TEST_F(SingleCopyEndToEndTest, CopiesOnDifferentBusesDoNotSeeEachOther) {
    ASSERT_NO_FATAL_FAILURE(startVelmor());
    const PrivateBus otherBus;
    ASSERT_TRUE(otherBus.isRunning()) << otherBus.errorString().toStdString();
    QProcessEnvironment environment = peers().velmorEnvironment(Screen::Offscreen, transport());
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), otherBus.address());

    const PeerConnections mpdBefore = peers().mpdConnections();
    VelmorProcess other(environment);
    ASSERT_TRUE(other.start());
    // Connected to MPD: past its claim, and ready to end the ordinary way.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !peers().mpdConnections().openedSince(mpdBefore).empty() || !other.isRunning(); },
        VelmorProcess::WaitTimeoutMs));
    EXPECT_EQ(otherBus.owner(GuardedName), other.processId()) << other.standardError().toStdString();
    EXPECT_EQ(peers().bus().owner(GuardedName), velmor->processId());
    other.terminate();
    EXPECT_EQ(other.waitForExit(), 0) << other.standardError().toStdString();
}

TEST_F(SingleCopyEndToEndTest, ACopyKilledWithoutAWordDoesNotKeepTheNextFromStarting) {
    ASSERT_NO_FATAL_FAILURE(startVelmor());
    ASSERT_TRUE(peers().bus().isServed(GuardedName));
    velmor->kill();
    EXPECT_EQ(velmor->waitForExit(), -1);
    // The bus drops the name as soon as it sees the connection gone.
    ASSERT_TRUE(
        QTest::qWaitFor([] { return !peers().bus().isServed(GuardedName); }, VelmorProcess::WaitTimeoutMs));

    ASSERT_NO_FATAL_FAILURE(startVelmor());
    EXPECT_TRUE(velmor->isRunning());
    EXPECT_EQ(peers().bus().owner(GuardedName), velmor->processId());
}

// Over MQTT a copy is known by the retained "online" it keeps on velmor/status of the broker.
class MqttSingleCopyEndToEndTest : public EndToEndTest {
protected:
    [[nodiscard]] Transport transport() const override { return Transport::Mqtt; }

    MosquittoLibrary library;
};

TEST_F(MqttSingleCopyEndToEndTest, OneCopyPerBrokerAndItsStatusFollowsHowItEnds) {
    MqttListener listener(peers().broker().url(), {"velmor/status"});
    ASSERT_NO_FATAL_FAILURE(startHomeVision());
    ASSERT_NO_FATAL_FAILURE(startVelmor());
    ASSERT_TRUE(listener.waitFor(live("velmor/status", "online")));
    const PeerConnections mpdBefore = peers().mpdConnections();

    VelmorProcess second(peers().velmorEnvironment(Screen::Offscreen, transport()));
    ASSERT_TRUE(second.start());
    EXPECT_EQ(second.waitForExit(), 0);
    EXPECT_EQ(second.standardError().count(QStringLiteral("Velmor already runs on the MQTT broker mqtt://")),
              1)
        << second.standardError().toStdString();
    EXPECT_EQ(peers().mpdConnections().newest, mpdBefore.newest) << "the second copy reached MPD";
    // It leaves the first one's status alone.
    listener.sync();
    EXPECT_EQ(listener.count(live("velmor/status", "offline")), 0U);

    // Killed, a copy cannot say goodbye: the broker tells its will.
    velmor->kill();
    EXPECT_EQ(velmor->waitForExit(), -1);
    ASSERT_TRUE(listener.waitFor(live("velmor/status", "offline")));

    // The next one is not held off by it, and its clean exit says "offline" without a will on top.
    velmor = std::make_unique<VelmorProcess>(peers().velmorEnvironment(Screen::Offscreen, transport()));
    ASSERT_TRUE(velmor->start());
    ASSERT_TRUE(listener.waitFor(live("velmor/status", "online"), 2));
    velmor->terminate();
    EXPECT_EQ(velmor->waitForExit(), 0);
    EXPECT_TRUE(listener.waitFor(live("velmor/status", "offline"), 2));
    listener.sync();
    EXPECT_EQ(listener.count(live("velmor/status", "offline")), 2U);
}

} // namespace
} // namespace velmor::test
