#include "app/form1.h"
#include "platform/mqtt/mosquitto_library.h"
#include "platform/mqtt/mqtt_connection.h"
#include "platform/mqtt/mqtt_dde_link.h"
#include "tests/support/homevision_process.h"
#include "tests/support/throwaway_mosquitto.h"
#include "tests/support/window_on_links.h"

#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string NotRunning = "MessageBox HomeVision is not running.  Please start it.";
const std::string UnknownError = "MessageBox Unknown error opening DDE link";
constexpr int BurstTimeoutMs = 120'000;

MqttBrokerAddress brokerAt(const QString& url) {
    return std::get<MqttBrokerAddress>(parseMqttBrokerAddress(url));
}

// The broker most tests share, and the library set-up every connection needs.
class SharedBroker : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(broker.start()) << broker.failure().toStdString(); }
    void TearDown() override { broker.stop(); }

    MosquittoLibrary library;
    ThrowawayMosquitto broker;
};

auto* const shared = static_cast<SharedBroker*>(::testing::AddGlobalTestEnvironment(new SharedBroker));

// Everything Velmor writes on stderr while it lives.
class CapturedMessages {
public:
    CapturedMessages() {
        s_captured = &m_text;
        m_previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            *s_captured += text + QLatin1Char('\n');
        });
    }
    ~CapturedMessages() { qInstallMessageHandler(m_previous); }
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;

    [[nodiscard]] std::string text() const { return m_text.toStdString(); }

private:
    static inline QString* s_captured = nullptr;
    QString m_text;
    QtMessageHandler m_previous = nullptr;
};

// The broker connection, made before the links that use it and ended after them.
struct BrokerConnection {
    explicit BrokerConnection(const QString& url)
        : connection(brokerAt(url), QStringLiteral("velmor-test")) {
        connection.start();
    }
    MqttConnection connection;
};

// The main window as the program builds it over MQTT: one broker connection, four links on it.
class MqttWindow : public BrokerConnection, public WindowOnLinks<MqttDdeLink> {
public:
    explicit MqttWindow(const QString& url)
        : BrokerConnection(url)
        , WindowOnLinks([this] { return std::make_unique<MqttDdeLink>(connection); }) {
        // As the program does: the window is served while a link waits.
        connection.setWaitingTurn([this] { form->serveWhileWaiting(); });
    }
    ~MqttWindow() { connection.setWaitingTurn({}); }

    [[nodiscard]] QStringList messageLog() const {
        QStringList entries;
        const auto* list = form->findChild<QListWidget*>(QStringLiteral("lstMessage"));
        for (int i = 0; i < list->count(); ++i)
            entries << list->item(i)->text();
        return entries;
    }
    // Waits, running the event loop, until the command goes through (or fails, as asked).
    bool waitUntilSendGives(qint16 status) {
        return QTest::qWaitFor([&] { return send(QStringLiteral(",T0000")) == status; },
                               HomeVisionProcess::WaitTimeoutMs);
    }
};

// Runs the event loop as the program does, idle until something happens, until the condition holds
// (looked at ten times a second) or the time is up. QTest::qWaitFor sleeps between turns, which would
// make a burst of messages wait on the test rather than on Velmor.
bool runUntil(const std::function<bool()>& condition, int timeoutMs) {
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    look.start(100);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return condition();
}

// What Velmor acknowledged, in order.
std::vector<std::string> acknowledgements(HomeVisionProcess& homeVision) {
    return homeVision.pokes("DDEMessageAcknowledge");
}

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
    // A line Velmor writes on stderr.
    const char* said = "";
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

    CapturedMessages messages;
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
    EXPECT_THAT(messages.text(), Not(HasSubstr("hunter2")));
    EXPECT_THAT(messages.text(), HasSubstr(GetParam().said));
}

INSTANTIATE_TEST_SUITE_P(
    , MqttOpeningTest,
    ::testing::Values(OpeningCase{"ControllerOnline", Broker::Shared, true, {}},
                      OpeningCase{"NoBroker", Broker::None, false, {NotRunning}},
                      OpeningCase{"NoControllerOnline", Broker::Shared, false, {NotRunning}},
                      OpeningCase{
                          "LoginRefused", Broker::RequiresLogin, false, {UnknownError}, "refused Velmor"}),
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
    const QString messageTopic = QStringLiteral("velmor/HOMEVIS/DDE/DDEMessage");
    MqttConnection other(brokerAt(broker.url()), QStringLiteral("other"));
    ASSERT_TRUE(other.waitForConnected(QDeadlineTimer(MqttConnection::WaitLimit)));
    const auto publish = [&](const QByteArray& payload, bool retained) {
        const auto id = other.publish(messageTopic, payload, 1, retained);
        ASSERT_TRUE(id && other.waitForAcknowledgement(*id, QDeadlineTimer(MqttConnection::WaitLimit)));
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
    MqttConnection other(brokerAt(broker.url()), QStringLiteral("other"));
    ASSERT_TRUE(other.waitForConnected(QDeadlineTimer(MqttConnection::WaitLimit)));
    // The broker holds the message for Velmor before Velmor's command goes out, so it is on Velmor's
    // socket while Velmor waits for the command's acknowledgement.
    const auto id =
        other.publish(QStringLiteral("velmor/HOMEVIS/DDE/DDEMessage"), "During the command", 1, false);
    ASSERT_TRUE(id && other.waitForAcknowledgement(*id, QDeadlineTimer(MqttConnection::WaitLimit)));

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
    ASSERT_TRUE(
        runUntil([&] { return acknowledgements(homeVision).size() >= std::size_t{Count}; }, BurstTimeoutMs))
        << acknowledgements(homeVision).size() << " acknowledged";
    const std::vector<std::string> acks = acknowledgements(homeVision);
    ASSERT_EQ(acks.size(), std::size_t{Count});
    for (std::size_t i = 0; i < acks.size(); ++i)
        ASSERT_EQ(acks[i], i % 2 == 0 ? "OK 1" : "OK 2") << "acknowledgement " << i + 1;
    EXPECT_EQ(window.messageLog().constLast(), QStringLiteral("Message %1").arg(Count));
}

// A hung broker (a stopped process: its port still takes the bytes) and what happens around it.
class HungBrokerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(hanging.start()) << hanging.failure().toStdString();
        controller =
            std::make_unique<HomeVisionProcess>(QStringLiteral(VELMOR_HOMEVISION_PROGRAM), hanging.url());
        ASSERT_TRUE(controller->start()) << controller->standardError().toStdString();
        window = std::make_unique<MqttWindow>(hanging.url());
        ASSERT_EQ(window->open(), 0);
        hanging.pause();
    }

    ThrowawayMosquitto hanging;
    std::unique_ptr<HomeVisionProcess> controller;
    std::unique_ptr<MqttWindow> window;
};

TEST_F(HungBrokerTest, ACommandGivenUpOnIsNotDeliveredWhenTheBrokerWakes) {
    EXPECT_EQ(window->send(QStringLiteral(",O1900")), -1);
    hanging.resume();
    ASSERT_TRUE(window->waitUntilSendGives(0));
    EXPECT_THAT(controller->waitForPokes("DDECommand", 1), Not(Contains(",O1900")));
}

TEST_F(HungBrokerTest, TheEventLoopTurnsWhileACommandWaitsButAHandlerRunsOnlyAfterIt) {
    const std::string handled = "SlinkSend cdj:playlist_play";
    bool turned = false;
    QTimer::singleShot(0, [&] {
        turned = true;
        window->form->sendJukeboxCommand(QStringLiteral("cdj:playlist_play"));
    });
    EXPECT_EQ(window->send(QStringLiteral(",O1900")), -1);
    EXPECT_TRUE(turned);
    EXPECT_THAT(window->log.entries(), Not(Contains(handled)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::ranges::count(window->log.entries(), handled) == 1; }));
}

TEST_F(MqttDdeLinkTest, AnEchoSpoofedByAnotherClientIsNotTakenForVelmorsOwn) {
    ASSERT_TRUE(homeVision.start()) << homeVision.standardError().toStdString();
    MqttConnection spoofer(brokerAt(broker.url()), QStringLiteral("spoofer"));
    QString echoTopic;
    QObject::connect(&spoofer, &MqttConnection::messageReceived,
                     [&](const QString& topic) { echoTopic = topic; });
    spoofer.subscribe(QStringLiteral("velmor/echo/#"), 0);
    const QDeadlineTimer deadline(MqttConnection::WaitLimit);
    ASSERT_TRUE(spoofer.waitForConnected(deadline) && spoofer.waitForRoundTrip(deadline));
    MqttWindow window(broker.url());
    ASSERT_TRUE(window.connection.waitForConnected(deadline) && window.connection.waitForRoundTrip(deadline));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !echoTopic.isEmpty(); }));
    const auto id = spoofer.publish(echoTopic, "18446744073709551615", 1, false);
    ASSERT_TRUE(id && spoofer.waitForAcknowledgement(*id, deadline));

    EXPECT_EQ(window.open(), 0);
    EXPECT_THAT(window.log.entries(), IsEmpty());
}

TEST_F(MqttDdeLinkTest, AFloodOfMessagesLeavesTheEventLoopTurnsInBetween) {
    // Below the broker's default queue of 1000 for one subscriber.
    constexpr int Count = 600;
    ASSERT_TRUE(homeVision.start()) << homeVision.standardError().toStdString();
    MqttWindow window(broker.url());
    ASSERT_EQ(window.open(), 0);
    // Armed by the first message: it runs at the next turn of the event loop.
    int handled = 0;
    int handledWhenTurned = 0;
    QObject::connect(window.form->findChild<QListWidget*>(QStringLiteral("lstMessage"))->model(),
                     &QAbstractItemModel::rowsInserted, [&] {
                         if (++handled == 1)
                             QTimer::singleShot(0, [&] { handledWhenTurned = handled; });
                     });
    MqttConnection flood(brokerAt(broker.url()), QStringLiteral("flood"));
    const QDeadlineTimer deadline(MqttConnection::WaitLimit);
    ASSERT_TRUE(flood.waitForConnected(deadline));
    std::optional<int> last;
    for (int i = 1; i <= Count; ++i)
        last =
            flood.publish(QStringLiteral("velmor/HOMEVIS/DDE/DDEMessage"), QByteArray::number(i), 1, false);
    ASSERT_TRUE(last && flood.waitForAcknowledgement(*last, deadline));

    ASSERT_TRUE(runUntil([&] { return handled == Count; }, BurstTimeoutMs)) << handled;
    EXPECT_LT(handledWhenTurned, Count);
}

struct TlsCase {
    const char* name;
    bool trusted;
    std::vector<std::string> boxes;
};

void PrintTo(const TlsCase& c, std::ostream* out) {
    *out << c.name;
}

class MqttTlsTest : public ::testing::TestWithParam<TlsCase> {};

TEST_P(MqttTlsTest, MqttsTrustsTheSystemsCertificateStore) {
    ThrowawayMosquitto secured(ThrowawayMosquitto::Options{.tls = true});
    ASSERT_TRUE(secured.start()) << secured.failure().toStdString();
    HomeVisionProcess controller(QStringLiteral(VELMOR_HOMEVISION_PROGRAM), secured.url());
    ASSERT_TRUE(controller.start()) << controller.standardError().toStdString();

    // OpenSSL's default store is whatever SSL_CERT_FILE names.
    const QByteArray saved = qgetenv("SSL_CERT_FILE");
    qputenv("SSL_CERT_FILE", GetParam().trusted ? secured.caFile().toLocal8Bit() : QByteArray("/dev/null"));
    {
        MqttWindow window(secured.tlsUrl());
        EXPECT_EQ(window.open(), GetParam().boxes.empty() ? 0 : -1);
        EXPECT_EQ(window.log.entries(), GetParam().boxes);
        if (GetParam().trusted) {
            EXPECT_EQ(window.send(QStringLiteral(",O1900")), 0);
            EXPECT_THAT(controller.waitForPokes("DDECommand", 1), ElementsAre(",O1900"));
        }
    }
    if (saved.isNull())
        qunsetenv("SSL_CERT_FILE");
    else
        qputenv("SSL_CERT_FILE", saved);
}

INSTANTIATE_TEST_SUITE_P(, MqttTlsTest,
                         ::testing::Values(TlsCase{"TrustedAuthority", true, {}},
                                           TlsCase{"UnknownAuthority", false, {NotRunning}}),
                         [](const ::testing::TestParamInfo<TlsCase>& test) { return test.param.name; });

} // namespace
} // namespace velmor::test
