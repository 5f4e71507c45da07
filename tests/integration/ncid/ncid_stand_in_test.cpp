#include "platform/ncid/ncid_telephony_control.h"
#include "tests/support/ncid_stand_in.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>

#include <algorithm>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;

constexpr int WaitMs = 10000;

std::vector<std::string> texts(const QList<QVariant>& event) {
    std::vector<std::string> result;
    for (const QVariant& text : event)
        result.push_back(text.toString().toStdString());
    return result;
}

// One stand-in serves every test that does not watch the server itself.
class NcidStandInTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_shared = std::make_unique<NcidStandIn>(); }
    static void TearDownTestSuite() { s_shared.reset(); }

    void SetUp() override { ASSERT_TRUE(s_shared->started()); }

    static void switchOn(NcidTelephonyControl& control) {
        QSignalSpy ready(&control, &NcidTelephonyControl::serverReady);
        control.setCallSoftEnable(-1);
        ASSERT_TRUE(ready.wait(WaitMs));
    }

    static NcidServerAddress at(const NcidStandIn& server) {
        return {QStringLiteral("127.0.0.1"), server.port()};
    }

    static inline std::unique_ptr<NcidStandIn> s_shared;
};

TEST_F(NcidStandInTest, TheCallLogRaisesNothingAndEachLiveCallRaisesOneEventWithItsFields) {
    NcidTelephonyControl control(at(*s_shared));
    QSignalSpy calls(&control, &TelephonyControl::CallSoftCallEvent);
    ASSERT_NO_FATAL_FAILURE(switchOn(control));

    s_shared->announce(QStringLiteral(
        ">CID: *DATE*12082026*TIME*0930*LINE*HOME*NMBR*5555550123*MESG*NONE*NAME*JOHN Q PUBLIC*"));
    // A second call marks the end: everything before it has been read by the time it arrives.
    s_shared->announce(QStringLiteral("5555550188 MARY EXAMPLE"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls.count() >= 2; }, WaitMs));

    ASSERT_EQ(calls.count(), 2);
    EXPECT_THAT(texts(calls[0]), ElementsAre("12082026", "0930", "HOME", "5555550123", "JOHN Q PUBLIC"));
    EXPECT_THAT(texts(calls[1])[3], "5555550188");
    EXPECT_THAT(texts(calls[1])[4], "MARY EXAMPLE");
}

TEST_F(NcidStandInTest, SwitchingOffClosesTheConnectionAndNoCallFollowsUntilSwitchedOnAgain) {
    NcidStandIn server;
    ASSERT_TRUE(server.started());
    NcidTelephonyControl control(at(server));
    QSignalSpy calls(&control, &TelephonyControl::CallSoftCallEvent);
    ASSERT_NO_FATAL_FAILURE(switchOn(control));
    ASSERT_TRUE(server.waitForOutput(QStringLiteral("client 1 connected")));

    control.setCallSoftEnable(0);
    ASSERT_TRUE(server.waitForOutput(QStringLiteral("client 1 gone")));
    server.announce(QStringLiteral("5555550123 NOBODY LISTENS"));
    ASSERT_TRUE(server.waitForOutput(QStringLiteral("to 0 client(s): CID:")));
    // Nothing may happen here, so this waits out a time longer than the first reconnection delay: a
    // control that still reconnected would have begun by then.
    auto* const socket = control.findChild<QTcpSocket*>();
    ASSERT_NE(socket, nullptr);
    QSignalSpy reconnecting(socket, &QAbstractSocket::stateChanged);
    EXPECT_FALSE(reconnecting.wait(1500));
    EXPECT_EQ(calls.count(), 0);
    EXPECT_FALSE(server.printed(QStringLiteral("client 2 connected")));

    ASSERT_NO_FATAL_FAILURE(switchOn(control));
    server.announce(QStringLiteral("5555550123 BACK ON"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls.count() >= 1; }, WaitMs));
    EXPECT_THAT(texts(calls[0])[4], "BACK ON");
}

TEST_F(NcidStandInTest, AFloodRaisesEveryCallInTurnWhileOtherEventsGetInBetween) {
    constexpr qsizetype FloodCalls = 20000;
    NcidStandIn server;
    ASSERT_TRUE(server.started());
    NcidTelephonyControl control(at(server));
    ASSERT_NO_FATAL_FAILURE(switchOn(control));

    // Each call, unless one is already waiting, posts an event as a click would; when it runs, it
    // notes how many calls went before it.
    QList<qint64> numbers;
    qsizetype mostCallsAheadOfAnEvent = 0;
    qsizetype eventsRunDuringTheFlood = 0;
    bool eventWaiting = false;
    QEventLoop loop;
    QObject::connect(&control, &TelephonyControl::CallSoftCallEvent, &loop,
                     [&](const QString&, const QString&, const QString&, const QString& number) {
                         numbers.push_back(number.toLongLong());
                         if (numbers.size() == FloodCalls)
                             loop.quit();
                         if (eventWaiting)
                             return;
                         eventWaiting = true;
                         QTimer::singleShot(0, &loop, [&, postedAt = numbers.size()] {
                             eventWaiting = false;
                             mostCallsAheadOfAnEvent =
                                 std::max(mostCallsAheadOfAnEvent, numbers.size() - postedAt);
                             if (numbers.size() < FloodCalls)
                                 ++eventsRunDuringTheFlood;
                         });
                     });
    QTimer::singleShot(6 * WaitMs, &loop, &QEventLoop::quit);
    server.announce(QStringLiteral("!flood %1").arg(FloodCalls));
    loop.exec();

    // The first call that is missing or out of turn, as its place in the flood counting from 1.
    qsizetype place = 0;
    while (place < numbers.size() && numbers[place] == place + 1)
        ++place;
    EXPECT_EQ(place, FloodCalls) << "call " << place + 1 << " arrived as " << numbers.value(place, -1);
    EXPECT_EQ(numbers.size(), FloodCalls);
    EXPECT_GT(eventsRunDuringTheFlood, 0);
    EXPECT_LE(mostCallsAheadOfAnEvent, NcidTelephonyControl::LinesPerTurn);
}

} // namespace
} // namespace velmor::test
