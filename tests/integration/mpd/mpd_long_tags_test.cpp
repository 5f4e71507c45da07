#include "tests/integration/mpd/mpd_jukebox_fixture.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using testing::AllOf;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::StartsWith;

TEST_F(MpdJukebox, TagsTooLongForTheLibraryCostOneErrorReportAndNoReconnectionStorm) {
    const qsizetype openedBefore = connectionsOpened();
    ASSERT_EQ(send(QStringLiteral("cdj:search[artist == \"%1\"]").arg(QString::fromUtf8(LongTagsArtist))), 0);
    ASSERT_EQ(send(QStringLiteral("cdj:playlist_play")), 0);
    ASSERT_TRUE(waitForReport("cdj:stopped")) << testing::PrintToString(reports());

    // The long comment is never asked for; the long title is, once, and the next track carries on.
    EXPECT_THAT(reports(), ElementsAre(R"r(cdj:playing["Noise Floor","Long Tags","Liner Notes","00:02"])r",
                                       AllOf(StartsWith("cdj:error["), HasSubstr("Response line too large")),
                                       R"r(cdj:playing["Noise Floor","Long Tags","Plain Again","00:03"])r",
                                       "cdj:stopped"));
    // No "using_player[mp3]" came again: at most the one connection that took the lost one's place.
    EXPECT_LE(connectionsOpened() - openedBefore, 1) << mpd().log().toStdString();
}

} // namespace
} // namespace velmor::test
