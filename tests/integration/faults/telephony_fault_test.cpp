#include "tests/integration/faults/fault_window.h"

#include <QLabel>
#include <QSignalSpy>

#include <algorithm>

namespace velmor::test {
namespace {

using ::testing::IsEmpty;

long callReports(HomeVisionProcess& homeVision) {
    const std::vector<std::string> commands = homeVision.pokes("DDECommand");
    return std::count(commands.begin(), commands.end(), ",Y1E02");
}

TEST_F(FaultWindowTest, NcidServerKilledAndRestartedLetsTheNextCallThroughToHomeVision) {
    ASSERT_NO_FATAL_FAILURE(startWindow());
    QSignalSpy ready(callSoft1, &NcidTelephonyControl::serverReady);
    peers.ncid().announce(QStringLiteral("5555550123 BEFORE THE CRASH"));
    ASSERT_TRUE(homeVision.waitFor([&](const Transcript&) { return callReports(homeVision) == 1; }));
    EXPECT_EQ(controls().Label19->text(), QStringLiteral("yes"));

    peers.killNcid();
    EXPECT_TRUE(eventLoopTurns());
    ASSERT_TRUE(peers.restartNcid());
    ASSERT_TRUE(waitUntil([&] { return ready.count() >= 1; }));
    peers.ncid().announce(QStringLiteral("5555550188 AFTER THE CRASH"));

    EXPECT_TRUE(homeVision.waitFor([&](const Transcript&) { return callReports(homeVision) == 2; }));
    EXPECT_EQ(controls().Label19->text(), QStringLiteral("yes"));
    EXPECT_THAT(messageBoxes.entries(), IsEmpty());
}

} // namespace
} // namespace velmor::test
