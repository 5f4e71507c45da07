#include "platform/mqtt/mosquitto_library.h"
#include "tests/integration/mqtt/mqtt_window.h"
#include "tests/support/message_capture.h"
#include "tests/support/run_until.h"
#include "tests/support/throwaway_mosquitto.h"

#include <QTest>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr int BurstTimeoutMs = 120'000;

// The broker most tests share, and the library set-up every connection needs.
class SharedBroker : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(broker.start()) << broker.failure().toStdString(); }
    void TearDown() override { broker.stop(); }

    MosquittoLibrary library;
    ThrowawayMosquitto broker;
};

auto* const shared = static_cast<SharedBroker*>(::testing::AddGlobalTestEnvironment(new SharedBroker));

class MqttDdeLinkTest : public ::testing::Test {
protected:
    ThrowawayMosquitto& broker = shared->broker;
    HomeVisionProcess homeVision{QStringLiteral(VELMOR_HOMEVISION_PROGRAM), broker.url()};
};

enum class Broker { None, Shared, RequiresLogin };

struct OpeningCase {
    const char* name;
    Broker broker;
    bool controller;
    std::vector<std::string> boxes;
};

void PrintTo(const OpeningCase& c, std::ostream* out) {
    *out << c.name;
}

class MqttOpeningTest : public MqttDdeLinkTest, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(MqttOpeningTest, LinksOpenOnlyWithABrokerThatLetsVelmorInAndAControllerOnline) {
    ThrowawayMosquitto guarded(ThrowawayMosquitto::Options{.requireLogin = true});
    QString url = broker.url();
    if (GetParam().broker == Broker::RequiresLogin) {
        ASSERT_TRUE(guarded.start()) << guarded.failure().toStdString();
        url = guarded.url(false).replace(QStringLiteral("mqtt://"),
                                         QStringLiteral("mqtt://homeowner:wrong-hunter2@"));
    } else if (GetParam().broker == Broker::None) {
        // Nothing listens on tcpmux's port.
        url = QStringLiteral("mqtt://127.0.0.1:1");
    }
    if (GetParam().controller) {
        ASSERT_TRUE(homeVision.start()) << homeVision.standardError().toStdString();
    }

    MessageCapture messages;
    {
        MqttWindow window(url);
        const qint16 expected = GetParam().boxes.empty() ? 0 : -1;
        EXPECT_EQ(window.open(), expected);
        EXPECT_EQ(window.log.entries(), GetParam().boxes);
        if (expected == 0) {
            EXPECT_EQ(window.modes(), (std::array<int, 4>{2, 1, 1, 2}));
            EXPECT_EQ(window.send(QStringLiteral(",O1900")), 0);
            EXPECT_THAT(homeVision.waitForPokes("DDECommand", 1), ElementsAre(",O1900"));
        } else {
            EXPECT_EQ(window.modes(), (std::array<int, 4>{0, 0, 0, 0}));
            EXPECT_EQ(window.send(QStringLiteral(",O1900")), -1);
        }
    }
    EXPECT_THAT(messages.lines().join(QLatin1Char('\n')).toStdString(), Not(HasSubstr("hunter2")));
}

INSTANTIATE_TEST_SUITE_P(
    , MqttOpeningTest,
    ::testing::Values(OpeningCase{"ControllerOnline", Broker::Shared, true, {}},
                      OpeningCase{"NoBroker", Broker::None, false, {NotRunning}},
                      OpeningCase{"NoControllerOnline", Broker::Shared, false, {NotRunning}},
                      OpeningCase{"LoginRefused", Broker::RequiresLogin, false, {UnknownError}}),
    [](const ::testing::TestParamInfo<OpeningCase>& test) { return test.param.name; });

TEST_F(MqttDdeLinkTest, AControllerGoneOfflineFailsEveryPokeAtOnceAndOneBackOnlineTakesThemAgain) {
    ASSERT_TRUE(homeVision.start()) << homeVision.standardError().toStdString();
    MqttWindow window(broker.url());
    ASSERT_EQ(window.open(), 0);
    EXPECT_EQ(homeVision.stop(), 0);
    ASSERT_TRUE(window.waitUntilSendGives(-1));
    EXPECT_EQ(window.send(QStringLiteral(",O1900")), -1);

    HomeVisionProcess again(QStringLiteral(VELMOR_HOMEVISION_PROGRAM), broker.url());
    ASSERT_TRUE(again.start()) << again.standardError().toStdString();
    EXPECT_TRUE(window.waitUntilSendGives(0));
}

TEST_F(MqttDdeLinkTest, ABrokerThatGoesAwayAndComesBackIsReconnectedAndSubscribedAgain) {
    ThrowawayMosquitto restarting;
    ASSERT_TRUE(restarting.start()) << restarting.failure().toStdString();
    HomeVisionProcess controller(QStringLiteral(VELMOR_HOMEVISION_PROGRAM), restarting.url());
    ASSERT_TRUE(controller.start()) << controller.standardError().toStdString();
    MqttWindow window(restarting.url());
    ASSERT_EQ(window.open(), 0);

    restarting.stop();
    ASSERT_TRUE(window.waitUntilSendGives(-1));
    ASSERT_TRUE(restarting.start()) << restarting.failure().toStdString();
    ASSERT_TRUE(window.waitUntilSendGives(0));

    // The message link listens again: a message comes in and is acknowledged.
    controller.writeLine(QStringLiteral("Back again"));
    EXPECT_THAT(controller.waitForPokes("DDEMessageAcknowledge", 1), ElementsAre("OK 1"));
    EXPECT_THAT(window.messageLog(), ElementsAre(QStringLiteral("Back again")));
}

struct PayloadCase {
    const char* name;
    QByteArray payload;
    bool retained;
    // What the message log holds once a live "next" message followed.
    QStringList logged;
};

void PrintTo(const PayloadCase& c, std::ostream* out) {
    *out << c.name;
}

class MqttPayloadTest : public MqttDdeLinkTest, public ::testing::WithParamInterface<PayloadCase> {};

TEST_P(MqttPayloadTest, EachPublishedValueIsOneMessageAndARetainedOneIsNone) {
    MqttListener other(broker.url(), {});
    const auto publish = [&](const QByteArray& payload, bool retained) {
        other.publish("velmor/HOMEVIS/DDE/DDEMessage", payload, retained);
    };
    if (GetParam().retained) {
        ASSERT_NO_FATAL_FAILURE(publish(GetParam().payload, true));
    }
    ASSERT_TRUE(homeVision.start()) << homeVision.standardError().toStdString();
    MqttWindow window(broker.url());
    ASSERT_EQ(window.open(), 0);
    if (!GetParam().retained) {
        ASSERT_NO_FATAL_FAILURE(publish(GetParam().payload, false));
    }
    ASSERT_NO_FATAL_FAILURE(publish("next", false));

    EXPECT_TRUE(QTest::qWaitFor([&] { return window.messageLog().size() >= GetParam().logged.size(); },
                                HomeVisionProcess::WaitTimeoutMs));
    EXPECT_EQ(window.messageLog(), GetParam().logged);
    std::vector<std::string> acks{"OK 1", "OK 2"};
    acks.resize(GetParam().logged.size());
    EXPECT_EQ(homeVision.waitForPokes("DDEMessageAcknowledge", acks.size()), acks);
    if (GetParam().retained) {
        ASSERT_NO_FATAL_FAILURE(publish({}, true)); // the broker forgets it
    }
}

INSTANTIATE_TEST_SUITE_P(, MqttPayloadTest,
                         ::testing::Values(PayloadCase{"NotUtf8",
                                                       QByteArray("Caf\xE9 \xFF ok"),
                                                       false,
                                                       {QStringLiteral("Caf\uFFFD \uFFFD ok"),
                                                        QStringLiteral("next")}},
                                           PayloadCase{"RetainedLeftBehind",
                                                       QByteArray("stale~cdj:playlist_play"),
                                                       true,
                                                       {QStringLiteral("next")}}),
                         [](const ::testing::TestParamInfo<PayloadCase>& test) { return test.param.name; });

TEST_F(MqttDdeLinkTest, AMessageArrivingDuringACommandIsHandledAfterTheCommandNotInsideIt) {
    ASSERT_TRUE(homeVision.start()) << homeVision.standardError().toStdString();
    MqttWindow window(broker.url());
    ASSERT_EQ(window.open(), 0);
    // The broker holds the message for Velmor before Velmor's command goes out, so it is on Velmor's
    // socket while Velmor waits for the command's acknowledgement.
    MqttListener other(broker.url(), {});
    ASSERT_NO_FATAL_FAILURE(other.publish("velmor/HOMEVIS/DDE/DDEMessage", "During the command"));

    EXPECT_EQ(window.send(QStringLiteral(",O1900")), 0);
    EXPECT_THAT(window.messageLog(), IsEmpty());
    EXPECT_TRUE(runUntil([&] { return !window.messageLog().isEmpty(); }, HomeVisionProcess::WaitTimeoutMs));
    EXPECT_THAT(window.messageLog(), ElementsAre(QStringLiteral("During the command")));
    EXPECT_THAT(homeVision.waitForPokes("DDEMessageAcknowledge", 1), ElementsAre("OK 1"));
}

TEST_F(MqttDdeLinkTest, AMillionByteMessageArrivesWholeAndIsAcknowledged) {
    ASSERT_TRUE(homeVision.start()) << homeVision.standardError().toStdString();
    MqttWindow window(broker.url());
    ASSERT_EQ(window.open(), 0);
    // The stand-in starts its feed on the first poke it sees.
    ASSERT_EQ(window.send(QStringLiteral(",O1900")), 0);
    const QString message = QString(999'999, QLatin1Char('m')) + QLatin1Char('!');
    homeVision.writeLine(message);
    EXPECT_THAT(homeVision.waitForPokes("DDEMessageAcknowledge", 1), ElementsAre("OK 1"));
    const QStringList logged = window.messageLog();
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged.constFirst() == message)
        << "a message of " << logged.constFirst().size() << " characters";
}

TEST_F(MqttDdeLinkTest, TenThousandMessagesInABurstAreEachAcknowledgedOnceInAnUnbrokenAlternation) {
    constexpr int Count = 10'000;
    ASSERT_TRUE(homeVision.start()) << homeVision.standardError().toStdString();
    MqttWindow window(broker.url());
    ASSERT_EQ(window.open(), 0);
    // The stand-in starts its feed on the first poke it sees.
    ASSERT_EQ(window.send(QStringLiteral(",O1900")), 0);
    for (int i = 1; i <= Count; ++i)
        homeVision.writeLine(QStringLiteral("Message %1").arg(i));
    const auto acknowledgements = [&] { return homeVision.pokes("DDEMessageAcknowledge"); };
    ASSERT_TRUE(runUntil([&] { return acknowledgements().size() >= std::size_t{Count}; }, BurstTimeoutMs))
        << acknowledgements().size() << " acknowledged";
    const std::vector<std::string> acks = acknowledgements();
    ASSERT_EQ(acks.size(), std::size_t{Count});
    for (std::size_t i = 0; i < acks.size(); ++i)
        ASSERT_EQ(acks[i], i % 2 == 0 ? "OK 1" : "OK 2") << "acknowledgement " << i + 1;
    EXPECT_EQ(window.messageLog().constLast(), QStringLiteral("Message %1").arg(Count));
}

} // namespace
} // namespace velmor::test
