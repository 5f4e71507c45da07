#include "app/form1.h"
#include "platform/mqtt/mosquitto_library.h"
#include "platform/mqtt/mqtt_connection.h"
#include "platform/mqtt/velmor_topics.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_dde_link.h"
#include "tests/support/fake_message_box.h"
#include "tests/support/fake_slink_control.h"
#include "tests/support/fake_telephony_control.h"
#include "tests/support/throwaway_mosquitto.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

constexpr int WaitMs = 10'000;

MqttBrokerAddress brokerAt(const QString& url) {
    return std::get<MqttBrokerAddress>(parseMqttBrokerAddress(url));
}

struct Heard {
    std::string topic;
    std::string payload;
    bool retained;

    friend bool operator==(const Heard&, const Heard&) = default;
    [[maybe_unused]] friend std::ostream& operator<<(std::ostream& out, const Heard& heard) {
        return out << heard.topic << " " << heard.payload << (heard.retained ? " (retained)" : "");
    }
};

// A plain subscriber to Velmor's topics and Home Assistant's configs, as anyone else on the broker.
class Listener {
public:
    explicit Listener(const QString& url)
        : m_connection(brokerAt(url), QStringLiteral("listener")) {
        for (const char* topic :
             {"velmor/status", "velmor/now_playing", "velmor/call", "homeassistant/+/velmor/+/config"})
            m_connection.subscribe(QLatin1String(topic), 1);
        QObject::connect(&m_connection, &MqttConnection::messageReceived,
                         [this](const QString& topic, const QByteArray& payload, bool retained) {
                             m_heard.push_back({topic.toStdString(), payload.toStdString(), retained});
                         });
        m_connection.start();
    }

    void publish(const char* topic, const char* payload, bool retain = false) {
        ASSERT_TRUE(m_connection.waitForConnected(QDeadlineTimer(MqttConnection::WaitLimit)));
        const auto id = m_connection.publish(QLatin1String(topic), payload, 1, retain);
        ASSERT_TRUE(id &&
                    m_connection.waitForAcknowledgement(*id, QDeadlineTimer(MqttConnection::WaitLimit)));
    }
    // Until everything the broker owes this listener so far has been heard.
    void sync() {
        ASSERT_TRUE(m_connection.waitForRoundTrip(QDeadlineTimer(MqttConnection::WaitLimit)));
        QCoreApplication::processEvents();
    }
    [[nodiscard]] std::size_t count(const std::function<bool(const Heard&)>& which) const {
        return static_cast<std::size_t>(std::ranges::count_if(m_heard, which));
    }
    bool waitFor(const std::function<bool(const Heard&)>& which, std::size_t atLeast = 1) {
        return QTest::qWaitFor([&] { return count(which) >= atLeast; }, WaitMs);
    }
    [[nodiscard]] const std::vector<Heard>& heard() const { return m_heard; }

private:
    MqttConnection m_connection;
    std::vector<Heard> m_heard;
};

bool isDiscovery(const Heard& heard) {
    return heard.topic.starts_with("homeassistant/");
}

// The message, live or kept by the broker.
std::function<bool(const Heard&)> is(const char* topic, const char* payload) {
    return [=](const Heard& heard) { return heard.topic == topic && heard.payload == payload; };
}

// The message as it was published while the listener listened.
std::function<bool(const Heard&)> live(const char* topic, const char* payload) {
    return [=](const Heard& heard) { return heard == Heard{topic, payload, false}; };
}

class VelmorTopicsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(broker.start()) << broker.failure().toStdString(); }

    MosquittoLibrary library;
    ThrowawayMosquitto broker;
};

// The window wired to the topics as the program wires them, with fakes for the outside parties.
TEST_F(VelmorTopicsTest, ReportsReachTheBrokerAndCommandsFromItReachTheJukebox) {
    QTemporaryDir folder;
    CallLog log;
    auto connection = std::make_unique<MqttConnection>(brokerAt(broker.url()), QStringLiteral("velmor"));
    auto topics = std::make_unique<VelmorTopics>(*connection);
    Form1Parts parts;
    parts.ddeLinks.forEach(
        [&log](HvLabel, std::unique_ptr<DdeLink>& link) { link = std::make_unique<FakeDdeLink>(log); });
    auto* slinkx = new FakeSlinkControl(log);
    parts.slinkx.reset(slinkx);
    auto* callSoft1 = new FakeTelephonyControl(log);
    parts.callSoft1.reset(callSoft1);
    parts.messageBox = std::make_unique<FakeMessageBox>(log);
    parts.nowPlayingObserver = topics.get();
    parts.callObserver = topics.get();
    Form1 form(std::move(parts));
    form.findChild<QLineEdit*>(QStringLiteral("CDInfo"))
        ->setText(folder.filePath(QStringLiteral("now-playing")));
    QObject::connect(topics.get(), &VelmorTopics::jukeboxCommandReceived, &form, &Form1::sendJukeboxCommand);
    // Left on the broker before Velmor subscribes: neither is acted on.
    Listener listener(broker.url());
    listener.publish("velmor/jukebox/send", " cdj:playlist_stop ", true);
    listener.publish("homeassistant/status", "online", true);
    connection->start();

    ASSERT_TRUE(listener.waitFor(is("velmor/status", "online")));
    ASSERT_TRUE(listener.waitFor(isDiscovery, 6));

    slinkx->report(QStringLiteral("cdj"),
                   QStringLiteral("playing[\"Disc\",\"Bj\u00f6rk\",\"Track\",\"03:05\"]"));
    const char* nowPlaying =
        "{\"artist\":\"Bj\xC3\xB6rk\",\"disc\":\"Disc\",\"time\":\"03:05\",\"track\":\"Track\"}";
    EXPECT_TRUE(listener.waitFor(live("velmor/now_playing", nowPlaying)));

    callSoft1->call(QStringLiteral("12082026"), QStringLiteral("1157"), QStringLiteral("HOME"),
                    QStringLiteral("4075551212"), QStringLiteral("NO NAME"));
    EXPECT_TRUE(listener.waitFor(live(
        "velmor/call",
        R"({"date":"12082026","event_type":"call","line":"HOME","name":"NO NAME","number":"4075551212","time":"1157"})")));

    // Someone joining later finds the track playing, kept by the broker.
    Listener latecomer(broker.url());
    EXPECT_TRUE(latecomer.waitFor([&](const Heard& h) {
        return h == Heard{"velmor/now_playing", nowPlaying, true};
    }));

    // An empty message only clears the retained command; a live command goes to the jukebox as typed.
    listener.publish("velmor/jukebox/send", "", true);
    listener.publish("velmor/jukebox/send", " cdj:playlist_next");
    const auto sent = [&] {
        std::vector<std::string> sends;
        std::ranges::copy_if(log.entries(), std::back_inserter(sends),
                             [](const std::string& entry) { return entry.starts_with("SlinkSend"); });
        return sends;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sent().empty(); }, WaitMs));
    EXPECT_THAT(sent(), testing::ElementsAre("SlinkSend  cdj:playlist_next"));

    // Home Assistant coming back asks for the configs again; asking in a burst, it gets them at once and
    // once more when the burst is over.
    for (int i = 0; i < 50; ++i)
        listener.publish("homeassistant/status", "online");
    EXPECT_TRUE(listener.waitFor(isDiscovery, 18));
    // A status that says otherwise while Velmor runs is put right.
    listener.publish("velmor/status", "offline", true);
    EXPECT_TRUE(listener.waitFor(live("velmor/status", "online"), 2));

    topics.reset();
    connection.reset();
    EXPECT_TRUE(listener.waitFor(live("velmor/status", "offline"), 2));
    listener.sync();
    EXPECT_EQ(listener.count(isDiscovery), 18u);
}

// The program itself: one copy per broker, "offline" from the will of a killed copy and from a clean exit.
class VelmorProgram {
public:
    explicit VelmorProgram(const QString& url) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VELMOR_MQTT"), url);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Peers that are not there: the jukebox and the telephone are retried quietly meanwhile.
        environment.insert(QStringLiteral("MPD_HOST"), QStringLiteral("127.0.0.1"));
        environment.insert(QStringLiteral("MPD_PORT"), QStringLiteral("1"));
        environment.insert(QStringLiteral("NCID_HOST"), QStringLiteral("127.0.0.1"));
        environment.insert(QStringLiteral("NCID_PORT"), QStringLiteral("1"));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(m_folder.path());
        endWithParent(m_process);
        m_process.start(QStringLiteral(VELMOR_PROGRAM), {});
    }
    ~VelmorProgram() { stopChild(m_process, WaitMs); }
    VelmorProgram(const VelmorProgram&) = delete;
    VelmorProgram& operator=(const VelmorProgram&) = delete;

    QProcess& process() { return m_process; }
    // Waits until its stderr holds the text.
    bool waitToSay(const char* text) {
        return QTest::qWaitFor(
            [&] {
                m_said += QString::fromLocal8Bit(m_process.readAllStandardError());
                return m_said.contains(QLatin1String(text));
            },
            WaitMs);
    }
    [[nodiscard]] std::string said() const { return m_said.toStdString(); }
    bool waitForExit() {
        return QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; }, WaitMs);
    }

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    QString m_said;
};

TEST_F(VelmorTopicsTest, OneProgramPerBrokerAndItsStatusFollowsHowItEnds) {
    Listener listener(broker.url());
    // A controller online, so that the links open without a box.
    listener.publish("velmor/HOMEVIS/DDE/state", "online", true);

    auto first = std::make_unique<VelmorProgram>(broker.url());
    ASSERT_TRUE(listener.waitFor(live("velmor/status", "online")));

    VelmorProgram second(broker.url());
    ASSERT_TRUE(second.waitForExit());
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    const QString said = QString::fromLocal8Bit(second.process().readAllStandardError());
    EXPECT_EQ(said.count(QStringLiteral("Velmor already runs on the MQTT broker mqtt://127.0.0.1:")), 1)
        << said.toStdString();
    // It leaves the first one's status alone.
    listener.sync();
    EXPECT_EQ(listener.count(is("velmor/status", "offline")), 0u);

    // Killed, it cannot say goodbye: the broker tells its will.
    first->process().kill();
    ASSERT_TRUE(listener.waitFor(live("velmor/status", "offline")));
    first.reset();

    // And the next one is not held off by the one that was killed; its clean exit says "offline" too.
    VelmorProgram third(broker.url());
    ASSERT_TRUE(listener.waitFor(live("velmor/status", "online"), 2));
    third.process().terminate();
    ASSERT_TRUE(third.waitForExit());
    EXPECT_EQ(third.process().exitCode(), 0);
    EXPECT_TRUE(listener.waitFor(live("velmor/status", "offline"), 2));
    // The goodbye was taken as one: no will on top of it.
    listener.sync();
    EXPECT_EQ(listener.count(live("velmor/status", "offline")), 2u);
}

TEST_F(VelmorTopicsTest, ACopyThatCouldNotCheckForAnotherOneStepsAsideOnceItCan) {
    Listener listener(broker.url());
    listener.publish("velmor/HOMEVIS/DDE/state", "online", true);
    VelmorProgram first(broker.url());
    ASSERT_TRUE(listener.waitFor(live("velmor/status", "online")));

    broker.pause();
    VelmorProgram second(broker.url());
    EXPECT_TRUE(second.waitToSay("cannot check yet"));
    broker.resume();
    ASSERT_TRUE(second.waitForExit());
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_TRUE(second.waitToSay("Velmor already runs on the MQTT broker")) << second.said();
}

struct StartCase {
    const char* name;
    // What anonymous clients may do; anything when empty.
    const char* acl;
    const char* said;
};

void PrintTo(const StartCase& c, std::ostream* out) {
    *out << c.name;
}

class VelmorStartTest : public ::testing::TestWithParam<StartCase> {
protected:
    MosquittoLibrary library;
};

TEST_P(VelmorStartTest, WhatKeepsVelmorFromTheBrokerIsSaidOnStderr) {
    ThrowawayMosquitto broker(ThrowawayMosquitto::Options{.acl = GetParam().acl});
    ASSERT_TRUE(broker.start()) << broker.failure().toStdString();
    if (*GetParam().acl == '\0') {
        // Left by a copy that died with its broker.
        Listener listener(broker.url());
        listener.publish("velmor/status", "online", true);
    }
    VelmorProgram velmor(broker.url());
    EXPECT_TRUE(velmor.waitToSay(GetParam().said)) << velmor.said();
    EXPECT_EQ(velmor.process().state(), QProcess::Running) << velmor.said();
}

INSTANTIATE_TEST_SUITE_P(
    , VelmorStartTest,
    ::testing::Values(
        StartCase{"StaleOnline", "", "no copy answered; taking over"},
        StartCase{"StatusDenied",
                  "topic readwrite velmor/+/+/#\ntopic readwrite homeassistant/#\ntopic read velmor/status\n",
                  "refuses Velmor's messages to velmor/status"},
        StartCase{"SubscribeOnly", "topic read #\n", "refuses Velmor's messages to velmor/"}),
    [](const ::testing::TestParamInfo<StartCase>& test) { return test.param.name; });

} // namespace
} // namespace velmor::test
