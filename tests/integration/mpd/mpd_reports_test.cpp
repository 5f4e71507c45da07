#include "tests/integration/mpd/mpd_jukebox_fixture.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using testing::ElementsAre;
using testing::StartsWith;

TEST_F(MpdJukebox, PlayingReportKeepsParenthesesAndTurnsQuotationMarksIntoApostrophes) {
    ASSERT_EQ(send(QStringLiteral("cdj:search[track == \"The \"Long\" Way (Home)\"]")), 0);
    ASSERT_EQ(send(QStringLiteral("cdj:playlist_play")), 0);
    EXPECT_TRUE(waitForReport(
        R"r(cdj:playing["Harbour Lights","The Quiet Pines","The 'Long' Way (Home)","00:01"])r"));
}

TEST_F(MpdJukebox, PlayingReportOfATrackWithNoAlbumHasAnEmptyDisc) {
    ASSERT_EQ(send(QStringLiteral("cdj:search[track == \"Demo Tape Song\"]")), 0);
    ASSERT_EQ(send(QStringLiteral("cdj:playlist_play")), 0);
    EXPECT_TRUE(waitForReport(R"r(cdj:playing["","Ann Other","Demo Tape Song","00:01"])r"));
}

TEST_F(MpdJukebox, OnePlayingReportPerTrackAsTracksAdvance) {
    ASSERT_EQ(send(QStringLiteral("cdj:search[artist == \"Sigrún Ólafsdóttir\"]")), 0);
    ASSERT_EQ(send(QStringLiteral("cdj:playlist_play")), 0);
    ASSERT_TRUE(waitForReport("cdj:stopped"));
    EXPECT_THAT(reports(),
                ElementsAre("cdj:playing[\"Norðurljós\",\"Sigrún Ólafsdóttir\",\"Vetrarnótt\",\"00:01\"]",
                            "cdj:playing[\"Norðurljós\",\"Sigrún Ólafsdóttir\",\"Ísbjörn\",\"00:01\"]",
                            "cdj:playing[\"Norðurljós\",\"Sigrún Ólafsdóttir\",\"Hafið\",\"00:01\"]",
                            "cdj:stopped"));
}

TEST_F(MpdJukebox, PauseAndStopAreReportedWhoeverCausedThem) {
    probe().queueTitles({QStringLiteral("Overtime"), QStringLiteral("Night Bus")});
    probe().command(QStringLiteral("repeat 1"));
    probe().command(QStringLiteral("single 1"));
    probe().command(QStringLiteral("play"));
    ASSERT_TRUE(waitForReport(R"r(cdj:playing["Late Shift","Brass Foundry","Overtime","00:01"])r"));

    ASSERT_EQ(send(QStringLiteral("cdj:playlist_pause")), 0);
    ASSERT_TRUE(waitForReport("cdj:paused"));
    probe().command(QStringLiteral("stop"));
    ASSERT_TRUE(waitForReport("cdj:stopped"));
    EXPECT_THAT(reports(), ElementsAre(R"r(cdj:playing["Late Shift","Brass Foundry","Overtime","00:01"])r",
                                       "cdj:paused", "cdj:stopped"));
}

TEST_F(MpdJukebox, ATrackAlreadyPlayingIsReportedOnConnection) {
    probe().queueTitles({QStringLiteral("Night Bus")});
    probe().command(QStringLiteral("repeat 1"));
    probe().command(QStringLiteral("single 1"));
    probe().command(QStringLiteral("play"));
    m_control = makeControl();
    ASSERT_TRUE(waitForReport(R"r(cdj:playing["Late Shift","Brass Foundry","Night Bus","00:01"])r"));
    const auto found = std::find(reports().begin(), reports().end(), "cdj:using_player[mp3]");
    EXPECT_NE(found, reports().end());
    EXPECT_LT(found - reports().begin(), static_cast<std::ptrdiff_t>(reports().size()) - 1)
        << "using_player comes before the track";
}

TEST_F(MpdJukebox, ACommandThatChangesNothingReportsNothing) {
    ASSERT_EQ(send(QStringLiteral("cdj:playlist_mode[random]")), 0);
    ASSERT_EQ(send(QStringLiteral("cdj:search_mode[disc]")), 0);
    ASSERT_EQ(send(QStringLiteral("cdj:playlist_clear")), 0);
    // A track that starts afterwards is reported after anything the commands above had set off.
    ASSERT_EQ(send(QStringLiteral("cdj:search[track == \"Lanterns\"]")), 0);
    ASSERT_EQ(send(QStringLiteral("cdj:playlist_play")), 0);
    const std::string playing = R"r(cdj:playing["Harbour Lights",)r";
    ASSERT_TRUE(waitForReportStartingWith(playing));
    EXPECT_THAT(reports(), ElementsAre(StartsWith(playing)));
}

} // namespace
} // namespace velmor::test
