#include "tests/integration/mpd/mpd_jukebox_fixture.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using testing::Lt;

TEST_F(MpdJukebox, WithMpdGoneCommandsFailAtOnceAndTheConnectionComesBack) {
    mpd().stop();
    EXPECT_THAT(send(QStringLiteral("cdj:playlist_play")), Lt(0));
    EXPECT_TRUE(waitForReportStartingWith("cdj:error["));
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_play")), MpdSlinkControl::NotConnected);
    EXPECT_TRUE(waitForReport("cdj:error[not connected to MPD]"));

    ASSERT_TRUE(mpd().start()) << mpd().failure().toStdString();
    EXPECT_TRUE(waitForReport("cdj:using_player[mp3]"));
    ASSERT_EQ(send(QStringLiteral("cdj:search[track == \"Lanterns\"]")), 0);
    ASSERT_EQ(send(QStringLiteral("cdj:playlist_play")), 0);
    EXPECT_TRUE(waitForReport(R"r(cdj:playing["Harbour Lights","The Quiet Pines","Lanterns","00:01"])r"));
}

TEST_F(MpdJukebox, MpdGoingAwayWhileIdleIsNoticedWithoutACommand) {
    QSignalSpy lost(&m_control->session(), &MpdSession::connectionLost);
    mpd().stop();
    ASSERT_TRUE(waitForSignal(lost));
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_stop")), MpdSlinkControl::NotConnected);
    ASSERT_TRUE(mpd().start()) << mpd().failure().toStdString();
    EXPECT_TRUE(waitForReport("cdj:using_player[mp3]"));
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_stop")), 0);
}

TEST_F(MpdJukebox, ANewControlWaitsForAnMpdThatIsNotThereYet) {
    m_control.reset();
    mpd().stop();
    m_control = makeControl();
    QSignalSpy failed(&m_control->session(), &MpdSession::connectFailed);
    ASSERT_TRUE(waitForSignal(failed));
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_play")), MpdSlinkControl::NotConnected);
    ASSERT_TRUE(mpd().start()) << mpd().failure().toStdString();
    EXPECT_TRUE(waitForReport("cdj:using_player[mp3]"));
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_clear")), 0);
}

} // namespace
} // namespace velmor::test
