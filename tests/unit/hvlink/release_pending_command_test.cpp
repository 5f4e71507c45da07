#include "hvlink/release_pending_command.h"
#include "tests/support/fake_homevision_commands.h"
#include "tests/support/fake_window.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ReleaseTest : public ::testing::Test {
protected:
    void release() { Release_Pending_Command(pendingCommands, homeVision, window); }

    CallLog log;
    FakeWindow window;
    FakeHomeVisionCommands homeVision{log};
    PendingCommands pendingCommands;
};

TEST_F(ReleaseTest, NothingParkedSendsNothingAndKeepsLabel5) {
    window.setCaption(HvLabel::Label5, QStringLiteral(",O1900"));
    release();
    EXPECT_THAT(log.entries(), IsEmpty());
    EXPECT_EQ(window.caption(HvLabel::Label5), QStringLiteral(",O1900"));
}

TEST_F(ReleaseTest, EntriesThatDoNotBeginWithACommaAreNeverSent) {
    pendingCommands[0] = QStringLiteral(",never scanned");
    pendingCommands[2] = QStringLiteral("O1900");
    pendingCommands[5] = QStringLiteral(" ,O1900");
    pendingCommands[10] = QStringLiteral(",");

    release();
    release();

    EXPECT_THAT(log.entries(), ElementsAre("Send_DDE_Command ,"));
    EXPECT_EQ(pendingCommands[0], QStringLiteral(",never scanned"));
    EXPECT_EQ(pendingCommands[2], QStringLiteral("O1900"));
    EXPECT_EQ(pendingCommands[5], QStringLiteral(" ,O1900"));
    EXPECT_TRUE(pendingCommands[10].isEmpty());
}

TEST_F(ReleaseTest, FailedSendStillEmptiesItsEntryAndShowsIt) {
    homeVision.setStatus(-1);
    pendingCommands[7] = QStringLiteral(",?20002D");
    pendingCommands[9] = QStringLiteral(",O1900");

    release();

    EXPECT_THAT(log.entries(), ElementsAre("Send_DDE_Command ,?20002D"));
    EXPECT_TRUE(pendingCommands[7].isEmpty());
    EXPECT_EQ(pendingCommands[9], QStringLiteral(",O1900"));
    EXPECT_EQ(window.caption(HvLabel::Label5), QStringLiteral(",?20002D"));
}

} // namespace
} // namespace velmor::test
