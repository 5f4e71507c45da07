#include "platform/mqtt/mosquitto_library.h"
#include "platform/mqtt/mqtt_connection.h"
#include "tests/support/homevision_process.h"
#include "tests/support/relay_process.h"
#include "tests/support/throwaway_mosquitto.h"
#include "tests/support/windows_build.h"

#include <QTest>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const QString Base = QStringLiteral("velmor/HOMEVIS/DDE/");

// The Windows build, the library and one broker for every test; no wine process outlives the program.
class RelayPeers : public ::testing::Environment {
public:
    void SetUp() override {
        if (!windows.missing().isEmpty())
            return;
        windows.endSession();
        ASSERT_TRUE(broker.start()) << broker.failure().toStdString();
    }
    void TearDown() override {
        if (windows.missing().isEmpty())
            windows.endSession();
        broker.stop();
    }

    WindowsBuild windows = WindowsBuild::find();
    MosquittoLibrary library;
    ThrowawayMosquitto broker;
};

auto* const peers = static_cast<RelayPeers*>(::testing::AddGlobalTestEnvironment(new RelayPeers));

// Velmor's side of the broker: every message on HomeVision's topics, in arrival order, and pokes.
class VelmorSide {
public:
    explicit VelmorSide(const QString& url)
        : m_connection(std::get<MqttBrokerAddress>(parseMqttBrokerAddress(url)),
                       QStringLiteral("relay-test")) {
        QObject::connect(&m_connection, &MqttConnection::messageReceived,
                         [this](const QString& topic, const QByteArray& payload, bool) {
                             m_seen[topic.mid(Base.size()).toStdString()].push_back(payload.toStdString());
                         });
        m_connection.subscribe(Base + QLatin1Char('#'), 1);
        m_connection.start();
    }

    // The values seen on velmor/HOMEVIS/DDE/`item`, in order.
    std::vector<std::string> values(const std::string& item) { return m_seen[item]; }
    // Waits until `count` values came on the item's topic, and returns them.
    std::vector<std::string> waitForValues(const std::string& item, std::size_t count) {
        static_cast<void>(
            QTest::qWaitFor([&] { return values(item).size() >= count; }, RelayProcess::WaitTimeoutMs));
        return values(item);
    }
    // Waits until the state's latest value is this one, and more than `before` values came.
    bool waitForState(const std::string& state, std::size_t before = 0) {
        return QTest::qWaitFor(
            [&] { return values("state").size() > before && values("state").back() == state; },
            RelayProcess::WaitTimeoutMs);
    }
    void poke(const QString& item, const QString& value) {
        m_connection.publish(Base + item + QStringLiteral("/set"), value.toUtf8(), 1, false);
    }

private:
    MqttConnection m_connection;
    std::map<std::string, std::vector<std::string>> m_seen;
};

class DdeRelayTest : public ::testing::Test {
protected:
    // HomeVision and the relay up, and the relay saying so on the broker.
    void SetUp() override {
        const QString missing = peers->windows.missing();
        if (!missing.isEmpty() && peers->windows.isRequired())
            FAIL() << missing.toStdString();
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        homeVision = std::make_unique<HomeVisionProcess>(peers->windows);
        relay = std::make_unique<RelayProcess>(peers->windows, peers->broker.url());
        velmor = std::make_unique<VelmorSide>(peers->broker.url());
        ASSERT_TRUE(homeVision->start(homeVisionOptions())) << homeVision->standardError().toStdString();
        ASSERT_TRUE(relay->start());
        // Its own word, not a retained "online" the previous test's relay may have left.
        ASSERT_TRUE(relay->waitForLog(QStringLiteral("connected to the broker")) &&
                    relay->waitForLog(QStringLiteral("HomeVision answered")))
            << relay->log().toStdString();
        ASSERT_TRUE(velmor->waitForState("online"));
    }
    void TearDown() override {
        if (HasFailure() && relay)
            std::cerr << "The relay's log:\n" << relay->log().toStdString();
    }
    [[nodiscard]] virtual QStringList homeVisionOptions() const { return {}; }

    std::unique_ptr<HomeVisionProcess> homeVision;
    std::unique_ptr<RelayProcess> relay;
    std::unique_ptr<VelmorSide> velmor;
};

TEST_F(DdeRelayTest, MessagesAndPokesGoThroughInOrderInEveryLanguageAndTheWillSaysOffline) {
    const std::vector<std::string> messages{"Hallway motion detected",
                                            "Caf\xC3\xA9 au lait \xE2\x80\x94 20 \xC2\xB0"
                                            "C",
                                            "Porch light on"};
    for (const std::string& message : messages)
        homeVision->writeLine(QString::fromStdString(message));
    for (std::size_t i = 0; i < messages.size(); ++i) {
        ASSERT_EQ(velmor->waitForValues("DDEMessage", i + 1).size(), i + 1);
        velmor->poke(QStringLiteral("DDEMessageAcknowledge"),
                     QString::fromStdString(velmor->values("DDEMessage")[i]));
    }
    // A burst, poked one at a time; a character Windows-1252 lacks arrives as "?".
    const QStringList commands{QStringLiteral(",=120000030000"), QStringLiteral(",?1F0000"),
                               QStringLiteral(",O1900 \u0100\u20AC")};
    for (const QString& command : commands)
        velmor->poke(QStringLiteral("DDECommand"), command);

    EXPECT_THAT(velmor->waitForValues("DDEMessage", 3), ElementsAreArray(messages));
    EXPECT_THAT(homeVision->waitForPokes("DDEMessageAcknowledge", 3), ElementsAreArray(messages));
    EXPECT_THAT(homeVision->waitForPokes("DDECommand", 3),
                ElementsAre(",=120000030000", ",?1F0000", ",O1900 ?\xE2\x82\xAC"));
    EXPECT_THAT(velmor->waitForValues("DDECommandAcknowledge", 3), ElementsAre("OK 1", "OK 2", "OK 1"));

    relay->stop();
    EXPECT_TRUE(velmor->waitForState("offline"));
}

TEST_F(DdeRelayTest, HomeVisionClosedAndStartedAgainIsOfflineMeanwhileAndLinkedAgainAfter) {
    homeVision->stop();
    EXPECT_TRUE(velmor->waitForState("offline"));
    homeVision = std::make_unique<HomeVisionProcess>(peers->windows);
    ASSERT_TRUE(homeVision->start());
    EXPECT_TRUE(velmor->waitForState("online"));

    homeVision->writeLine(QStringLiteral("Back again"));
    EXPECT_THAT(velmor->waitForValues("DDEMessage", 1), ElementsAre("Back again"));
}

TEST_F(DdeRelayTest, TheBrokerRestartedHearsTheStateAgainAndCarriesPokes) {
    const std::size_t statesBefore = velmor->values("state").size();
    peers->broker.stop();
    ASSERT_TRUE(relay->waitForLog(QStringLiteral("lost the broker")));
    ASSERT_TRUE(peers->broker.start()) << peers->broker.failure().toStdString();
    // The broker kept nothing (it sent the relay's will as it went): the "online" Velmor hears again is
    // the relay's, said anew.
    EXPECT_TRUE(velmor->waitForState("online", statesBefore));
    velmor->poke(QStringLiteral("DDECommand"), QStringLiteral(",O1900"));
    EXPECT_THAT(homeVision->waitForPokes("DDECommand", 1), ElementsAre(",O1900"));
}

class RefusingHomeVisionTest : public DdeRelayTest {
protected:
    [[nodiscard]] QStringList homeVisionOptions() const override {
        return {QStringLiteral("--refuse-poke"), QStringLiteral("DDECommand")};
    }
};

TEST_F(RefusingHomeVisionTest, ARefusedPokeIsLoggedWithDdesErrorAndNeverRepeated) {
    velmor->poke(QStringLiteral("DDECommand"), QStringLiteral(",O1900"));
    ASSERT_TRUE(relay->waitForLog(QStringLiteral("the poke of DDECommand failed (DMLERR_NOTPROCESSED)")));
    // Pokes go one at a time: once the next one is in, the refused one had every chance to come again.
    velmor->poke(QStringLiteral("DDEMessageAcknowledge"), QStringLiteral("after"));
    ASSERT_THAT(homeVision->waitForPokes("DDEMessageAcknowledge", 1), ElementsAre("after"));
    EXPECT_THAT(homeVision->pokes("DDECommand"), ElementsAre(",O1900"));
}

} // namespace
} // namespace velmor::test
