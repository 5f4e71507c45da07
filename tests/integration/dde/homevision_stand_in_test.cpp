#include "hvlink/dde_items.h"
#include "tests/integration/dde/dde_bus_test.h"

#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const QString HomeVis = HomeVisionLinkTopic;

TranscriptEntry sentMessage(const char* text) {
    return {"sent", "ItemChanged", "DDEMessage", text};
}

TranscriptEntry acknowledgement(const char* text) {
    return {"received", "Poke", "DDEMessageAcknowledge", text};
}

// The messages a client sees and the acknowledgements it gives, in transcript order.
Transcript messageTraffic(const Transcript& transcript) {
    Transcript traffic;
    for (const TranscriptEntry& entry : transcript) {
        if (entry.item == "DDEMessage" && entry.direction == "sent")
            traffic.push_back(entry);
        if (entry.item == "DDEMessageAcknowledge" && entry.call == "Poke")
            traffic.push_back(entry);
    }
    return traffic;
}

class HomeVisionStandInTest : public DdeBusTest {
protected:
    void listen() {
        message = link(HomeVis, QStringLiteral("DDEMessage"));
        messageAck = link(HomeVis, QStringLiteral("DDEMessageAcknowledge"));
        messageAck->setLinkMode(DdeLink::Manual);
        message->setLinkMode(DdeLink::Automatic);
    }

    std::unique_ptr<DbusDdeLink> message;
    std::unique_ptr<DbusDdeLink> messageAck;
};

TEST_F(HomeVisionStandInTest, HoldsEachMessageUntilThePreviousOneIsAcknowledged) {
    // Long enough that only an acknowledgement lets the next message out.
    ASSERT_TRUE(homeVision.start({QStringLiteral("--ack-timeout=60000")}));
    homeVision.writeLine(QStringLiteral("one"));
    homeVision.writeLine(QStringLiteral("two"));
    homeVision.writeLine(QStringLiteral("three"));
    homeVision.closeInput();
    listen();
    QSignalSpy delivered(message.get(), &DdeLink::valueDelivered);

    for (const char* ack : {"OK 1", "OK 2", "OK 1"}) {
        const qsizetype seen = delivered.size();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return delivered.size() > seen; }, HomeVisionProcess::WaitTimeoutMs));
        messageAck->poke(QString::fromUtf8(ack));
    }

    EXPECT_EQ(homeVision.waitForExit(), 0);
    EXPECT_THAT(messageTraffic(homeVision.transcript()),
                ElementsAre(sentMessage("one"), acknowledgement("OK 1"), sentMessage("two"),
                            acknowledgement("OK 2"), sentMessage("three"), acknowledgement("OK 1")));
}

TEST_F(HomeVisionStandInTest, GoesOnWhenAnAcknowledgementIsOverdueAndEndsAfterTheScript) {
    QTemporaryFile script;
    ASSERT_TRUE(script.open());
    script.write("first\r\nsecond ~cdj:playlist_play\r\n");
    script.close();
    ASSERT_TRUE(homeVision.start({QStringLiteral("--ack-timeout=100"), script.fileName()}));
    listen();

    EXPECT_EQ(homeVision.waitForExit(), 0);
    EXPECT_THAT(messageTraffic(homeVision.transcript()),
                ElementsAre(sentMessage("first"), sentMessage("second ~cdj:playlist_play")));
    EXPECT_THAT(homeVision.standardError().toStdString(), HasSubstr("no acknowledgement of \"second"));
}

TEST_F(HomeVisionStandInTest, SendsNoMessageBeforeAClientListens) {
    ASSERT_TRUE(homeVision.start({QStringLiteral("--ack-timeout=100")}));
    homeVision.writeLine(QStringLiteral("early"));
    // Once a request is answered, the line was read long before.
    auto probe = link(HomeVis, QStringLiteral("DDEMessage"));
    probe->setLinkMode(DdeLink::Manual);
    probe->poke(QStringLiteral("probe"));
    ASSERT_TRUE(homeVision.waitFor([](const Transcript& t) { return t.size() >= 2; }));
    EXPECT_THAT(messageTraffic(homeVision.transcript()), ::testing::IsEmpty());

    listen();
    QSignalSpy delivered(message.get(), &DdeLink::valueDelivered);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delivered.isEmpty(); }, HomeVisionProcess::WaitTimeoutMs));
    EXPECT_EQ(delivered.at(0).at(0).toString(), QStringLiteral("early"));
}

TEST_F(HomeVisionStandInTest, EndsCleanlyAtTheEndOfInputAndOnATerminationSignal) {
    ASSERT_TRUE(homeVision.start());
    homeVision.closeInput();
    EXPECT_EQ(homeVision.waitForExit(), 0);

    HomeVisionProcess interrupted(QStringLiteral(VELMOR_HOMEVISION_PROGRAM), bus);
    ASSERT_TRUE(interrupted.start());
    EXPECT_EQ(interrupted.stop(), 0);
    EXPECT_THAT(interrupted.standardError().toStdString(), HasSubstr("ending on signal 15"));
}

TEST_F(HomeVisionStandInTest, SecondStandInOnTheSameBusGivesUp) {
    ASSERT_TRUE(homeVision.start());
    HomeVisionProcess second(QStringLiteral(VELMOR_HOMEVISION_PROGRAM), bus);
    EXPECT_FALSE(second.start());
    EXPECT_EQ(second.waitForExit(), 1);
    EXPECT_THAT(second.standardError().toStdString(), HasSubstr("cannot own org.velmor.DDE.HOMEVIS"));
}

} // namespace
} // namespace velmor::test
