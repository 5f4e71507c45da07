#include "platform/ncid/ncid_telephony_control.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

constexpr int WaitMs = 10000;
constexpr const char* Greeting = "200 Server: ncidd (NCID) 1.13\n210 API: 1.11 Feature Set 1 2 3 4\n"
                                 "250 End of call log\n300 End of connection startup\n";

// A server in the test itself, for bytes the stand-in tool never sends: it writes exactly what the
// test gives it, in the pieces the test chooses.
class NcidWireTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listen(QHostAddress::LocalHost)); }

    NcidServerAddress address() const { return {QStringLiteral("127.0.0.1"), server.serverPort()}; }

    // The next client to connect, once it has.
    QTcpSocket* nextClient() {
        if (!QTest::qWaitFor([&] { return server.hasPendingConnections(); }, WaitMs))
            return nullptr;
        return server.nextPendingConnection();
    }

    // Each piece goes out once the control has read the one before, so that it reads them apart.
    static void send(const NcidTelephonyControl& control, QTcpSocket& client,
                     std::initializer_list<QByteArray> pieces) {
        auto* const reader = control.findChild<QTcpSocket*>();
        ASSERT_NE(reader, nullptr);
        QSignalSpy reads(reader, &QIODevice::readyRead);
        for (const QByteArray& piece : pieces) {
            const qsizetype before = reads.count();
            client.write(piece);
            client.flush();
            ASSERT_TRUE(QTest::qWaitFor([&] { return reads.count() > before; }, WaitMs));
        }
    }

    // The spy may have caught the calls while the pieces were still being sent.
    static bool waitForCalls(const QSignalSpy& calls, qsizetype count) {
        return QTest::qWaitFor([&] { return calls.count() >= count; }, WaitMs);
    }

    static QString number(const QList<QVariant>& event) { return event.at(3).toString(); }

    QTcpServer server;
};

TEST_F(NcidWireTest, LinesSplitAcrossReadsWithEitherLineEndAreReadWhole) {
    NcidTelephonyControl control(address());
    QSignalSpy calls(&control, &TelephonyControl::CallSoftCallEvent);
    control.setCallSoftEnable(-1);
    QTcpSocket* client = nextClient();
    ASSERT_NE(client, nullptr);

    ASSERT_NO_FATAL_FAILURE(
        send(control, *client,
             {"200 Server: ncidd (NCID) 1.13\r\n30", "0 End of connection startup\r\nCID: *DATE*0314",
              "2024*TIME*0912*LINE*POTS*NMBR*5555550142*MES", "G*NONE*NAME*ALICE EXAMPLE*\r",
              "\nCID: *NMBR*-*NAME*NO NAME*\n"}));
    ASSERT_TRUE(waitForCalls(calls, 2));

    ASSERT_EQ(calls.count(), 2);
    EXPECT_EQ(calls[0],
              (QList<QVariant>{QStringLiteral("03142024"), QStringLiteral("0912"), QStringLiteral("POTS"),
                               QStringLiteral("5555550142"), QStringLiteral("ALICE EXAMPLE")}));
    EXPECT_EQ(calls[1],
              (QList<QVariant>{QString(), QString(), QString(), QString(), QStringLiteral("NO NAME")}));
}

TEST_F(NcidWireTest, OnlyLiveCallLinesAfterTheGreetingRaiseAnEvent) {
    NcidTelephonyControl control(address());
    QSignalSpy calls(&control, &TelephonyControl::CallSoftCallEvent);
    control.setCallSoftEnable(-1);
    QTcpSocket* client = nextClient();
    ASSERT_NE(client, nullptr);

    ASSERT_NO_FATAL_FAILURE(
        send(control, *client,
             {"200 Server: ncidd (NCID) 1.13\nCID: *NMBR*1000000001*NAME*TOO EARLY*\n"
              "CIDLOG: *NMBR*1000000002*\n300 End of connection startup\n"
              "CIDLOG: *NMBR*1000000003*\nHUPLOG: *NMBR*1000000004*\n+CID: *NMBR*1000000005*\n"
              "CIDINFO: *LINE*POTS*RING*1*TIME*16:20:05*\nHUP: *NMBR*1000000006*\n"
              "MSG: Caller ID Logfile too big\nXYZ: *NMBR*1000000007*\n\n"
              "CID: *NMBR*1000000008*NAME*THE ONE*\n"}));
    ASSERT_TRUE(waitForCalls(calls, 1));

    ASSERT_EQ(calls.count(), 1);
    EXPECT_EQ(number(calls[0]), QStringLiteral("1000000008"));
}

TEST_F(NcidWireTest, ALineTooLongToKeepIsDroppedWholeAndReadingGoesOn) {
    NcidTelephonyControl control(address());
    QSignalSpy calls(&control, &TelephonyControl::CallSoftCallEvent);
    control.setCallSoftEnable(-1);
    QTcpSocket* client = nextClient();
    ASSERT_NE(client, nullptr);
    const QByteArray digits(qsizetype{100} * 1024, '9');

    // One such line arrives in a single write, the other only in pieces without its end for long.
    ASSERT_NO_FATAL_FAILURE(
        send(control, *client,
             {Greeting, "CID: *NMBR*" + digits + "*NAME*HUGE*\n", "CID: *NMBR*" + digits.left(40000),
              digits.left(40000), digits.left(40000), "*NAME*HUGE*\nCID: *NMBR*5555550123*\n"}));
    ASSERT_TRUE(waitForCalls(calls, 1));

    ASSERT_EQ(calls.count(), 1);
    EXPECT_EQ(number(calls[0]), QStringLiteral("5555550123"));
    EXPECT_EQ(client->state(), QAbstractSocket::ConnectedState);
}

TEST_F(NcidWireTest, AfterALostConnectionTheNewOneIsGreetedAgainBeforeCallsCount) {
    NcidTelephonyControl control(address());
    QSignalSpy calls(&control, &TelephonyControl::CallSoftCallEvent);
    control.setCallSoftEnable(-1);
    QPointer<QTcpSocket> first = nextClient();
    ASSERT_NE(first, nullptr);
    ASSERT_NO_FATAL_FAILURE(
        send(control, *first, {QByteArray(Greeting) + "CID: *NMBR*5555550001*\n300 End of connection"}));
    ASSERT_TRUE(waitForCalls(calls, 1));
    first->disconnectFromHost();

    QTcpSocket* second = nextClient();
    ASSERT_NE(second, nullptr);
    // The half line the first connection left must not join the new connection's first line.
    ASSERT_NO_FATAL_FAILURE(
        send(control, *second,
             {" startup\nCID: *NMBR*5555550002*\n300 End of connection startup\nCID: *NMBR*5555550003*\n"}));
    ASSERT_TRUE(waitForCalls(calls, 2));

    ASSERT_EQ(calls.count(), 2);
    EXPECT_EQ(number(calls[1]), QStringLiteral("5555550003"));
}

TEST_F(NcidWireTest, CallsSentRightBeforeTheServerClosesAreAllRaised) {
    constexpr int Calls = 5000;
    NcidTelephonyControl control(address());
    QSignalSpy calls(&control, &TelephonyControl::CallSoftCallEvent);
    control.setCallSoftEnable(-1);
    QTcpSocket* client = nextClient();
    ASSERT_NE(client, nullptr);

    QByteArray flood = Greeting;
    for (int n = 1; n <= Calls; ++n)
        flood += "CID: *NMBR*" + QByteArray::number(n) + "*NAME*LAST WORDS*\n";
    client->write(flood);
    client->disconnectFromHost();
    ASSERT_TRUE(waitForCalls(calls, Calls));

    EXPECT_EQ(number(calls.last()), QString::number(Calls));
}

TEST_F(NcidWireTest, ARefusedConnectionIsTriedAgainUntilAServerListens) {
    const NcidServerAddress nobodyThere = address();
    server.close();
    NcidTelephonyControl control(nobodyThere);
    auto* const socket = control.findChild<QTcpSocket*>();
    ASSERT_NE(socket, nullptr);
    QSignalSpy refused(socket, &QAbstractSocket::errorOccurred);
    control.setCallSoftEnable(-1);
    ASSERT_TRUE(refused.wait(WaitMs));

    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, nobodyThere.port));
    EXPECT_NE(nextClient(), nullptr);
}

} // namespace
} // namespace velmor::test
