#include "app/backends.h"
#include "platform/mqtt/mosquitto_library.h"
#include "platform/mqtt/velmor_topics.h"
#include "tests/support/fake_dde_link.h"
#include "tests/support/mqtt_listener.h"
#include "tests/support/throwaway_mosquitto.h"
#include "tests/support/window_on_links.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

const char* const NowPlaying =
    "{\"artist\":\"Bj\xC3\xB6rk\",\"disc\":\"Disc\",\"time\":\"03:05\",\"track\":\"Track\"}";

bool isDiscovery(const Heard& heard) {
    return heard.topic.starts_with("homeassistant/");
}

// The window wired to Velmor's topics by the program's own wiring, with fakes for the outside parties,
// and a plain listener on a broker of the test's own.
class VelmorTopicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(broker.start()) << broker.failure().toStdString();
        connection = std::make_unique<MqttConnection>(brokerAt(broker.url()), QStringLiteral("velmor"));
        topics = makeVelmorTopics(connection.get());
        window = std::make_unique<WindowOnLinks<FakeDdeLink>>(
            [this] { return std::make_unique<FakeDdeLink>(linkLog); },
            [this](Form1Parts& parts) { connectTopics(topics.get(), parts); });
        window->form->findChild<QLineEdit*>(QStringLiteral("CDInfo"))
            ->setText(folder.filePath(QStringLiteral("np")));
        connectTopics(topics.get(), *window->form);
        listener = std::make_unique<MqttListener>(
            broker.url(),
            std::initializer_list<const char*>{"velmor/status", "velmor/now_playing", "velmor/call",
                                               "homeassistant/+/velmor/+/config"});
    }

    // Lets Velmor connect; it says "online" and sends its six discovery configs.
    void connectVelmor() {
        connection->start();
        ASSERT_TRUE(listener->waitFor(is("velmor/status", "online")));
        ASSERT_TRUE(listener->waitFor(isDiscovery, 6));
    }

    MosquittoLibrary library;
    ThrowawayMosquitto broker;
    QTemporaryDir folder;
    CallLog linkLog;
    std::unique_ptr<MqttConnection> connection;
    std::unique_ptr<VelmorTopics> topics;
    std::unique_ptr<WindowOnLinks<FakeDdeLink>> window;
    std::unique_ptr<MqttListener> listener;
};

TEST_F(VelmorTopicsTest, APlayingTrackIsPublishedAndKeptForWhoeverComesLater) {
    ASSERT_NO_FATAL_FAILURE(connectVelmor());
    window->slinkx->report(QStringLiteral("cdj"),
                           QStringLiteral("playing[\"Disc\",\"Bj\u00f6rk\",\"Track\",\"03:05\"]"));
    EXPECT_TRUE(listener->waitFor(live("velmor/now_playing", NowPlaying)));

    MqttListener latecomer(broker.url(), {"velmor/now_playing"});
    EXPECT_TRUE(latecomer.waitFor([](const Heard& h) {
        return h == Heard{"velmor/now_playing", NowPlaying, true};
    }));
}

TEST_F(VelmorTopicsTest, ACallIsPublishedWithItsFiveTexts) {
    ASSERT_NO_FATAL_FAILURE(connectVelmor());
    window->callSoft1->call(QStringLiteral("12082026"), QStringLiteral("1157"), QStringLiteral("HOME"),
                            QStringLiteral("4075551212"), QStringLiteral("NO NAME"));
    EXPECT_TRUE(listener->waitFor(live(
        "velmor/call",
        R"({"date":"12082026","event_type":"call","line":"HOME","name":"NO NAME","number":"4075551212","time":"1157"})")));
}

TEST_F(VelmorTopicsTest, OnlyALiveCommandReachesTheJukeboxAsTyped) {
    // Left on the broker before Velmor subscribes: not acted on.
    listener->publish("velmor/jukebox/send", " cdj:playlist_stop ", true);
    ASSERT_NO_FATAL_FAILURE(connectVelmor());
    // An empty message only clears the retained one.
    listener->publish("velmor/jukebox/send", "", true);
    listener->publish("velmor/jukebox/send", " cdj:playlist_next");
    // The window's log holds what reached the jukebox and the telephone, nothing else.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->log.entries().empty(); }, MqttListener::WaitMs));
    EXPECT_THAT(window->log.entries(), testing::ElementsAre("SlinkSend  cdj:playlist_next"));
}

TEST_F(VelmorTopicsTest, HomeAssistantComingBackGetsTheConfigsAgainButItsRetainedStatusDoesNot) {
    listener->publish("homeassistant/status", "online", true);
    ASSERT_NO_FATAL_FAILURE(connectVelmor());
    listener->publish("homeassistant/status", "online");
    EXPECT_TRUE(listener->waitFor(isDiscovery, 12));
    listener->sync();
    EXPECT_EQ(listener->count(isDiscovery), 12U);
}

TEST_F(VelmorTopicsTest, AClosedConnectionSaysOfflineOnceAndLeavesNoWill) {
    ASSERT_NO_FATAL_FAILURE(connectVelmor());
    window.reset();
    topics.reset();
    connection.reset();
    EXPECT_TRUE(listener->waitFor(live("velmor/status", "offline")));
    listener->sync();
    EXPECT_EQ(listener->count(is("velmor/status", "offline")), 1U);
}

} // namespace
} // namespace velmor::test
