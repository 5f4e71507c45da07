#include "tests/integration/faults/fault_window.h"
#include "tests/support/message_capture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <csignal>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST_F(FaultWindowTest, MpdFrozenThenKilledAndRestartedHoldsNoHandlerUpAndReportsResume) {
    ASSERT_NO_FATAL_FAILURE(startWindow());
    ASSERT_TRUE(play(Lanterns));
    ASSERT_EQ(nowPlayingFile(), fileFor("Harbour Lights", "The Quiet Pines", "Lanterns", "00:09"));

    // A frozen MPD: the command forwarded from HomeVision's message waits out the jukebox's time-out,
    // then the message is acknowledged all the same.
    ASSERT_EQ(::kill(static_cast<pid_t>(peers.mpd().processId()), SIGSTOP), 0);
    homeVision.writeLine(QStringLiteral("Frozen~cdj:playlist_stop"));
    EXPECT_THAT(homeVision.waitForPokes("DDEMessageAcknowledge", 1), ElementsAre("OK 1"));
    EXPECT_TRUE(waitUntil([&] { return controls().Label1->text().startsWith(QLatin1String("cdj:error[")); }));

    // Killed where it stood, and a manual command meanwhile.
    peers.mpd().kill();
    controls().Text1->setText(QStringLiteral("cdj:playlist_play"));
    controls().Command1->click();
    EXPECT_TRUE(eventLoopTurns());

    ASSERT_TRUE(peers.mpd().start()) << peers.mpd().failure().toStdString();
    ASSERT_TRUE(waitForLabel1(QStringLiteral("cdj:using_player[mp3]")));
    ASSERT_TRUE(play(SaltRoad));
    EXPECT_EQ(nowPlayingFile(), fileFor("Harbour Lights", "The Quiet Pines", "Salt Road", "00:18"));
    EXPECT_TRUE(homeVision.waitFor([](const Transcript& t) {
        return std::find(t.begin(), t.end(),
                         TranscriptEntry{"received", "Poke", "DDECommand", ",=120000120000"}) != t.end();
    }));

    // Messages are still taken and acknowledged, and what they forward reaches the new MPD.
    homeVision.writeLine(QStringLiteral("Back~cdj:playlist_mode[random]"));
    EXPECT_THAT(homeVision.waitForPokes("DDEMessageAcknowledge", 2), ElementsAre("OK 1", "OK 2"));
    EXPECT_TRUE(waitUntil([&] { return peers.probe().random(); }));
    EXPECT_THAT(messageBoxes.entries(), IsEmpty());
}

struct SearchValue {
    const char* name;
    QString value;
    bool fits;
};

void PrintTo(const SearchValue& c, std::ostream* out) {
    *out << c.name;
}

class SearchValueTest : public FaultWindowTest, public ::testing::WithParamInterface<SearchValue> {};

// A request too long for the MPD client library used to break the connection for good: it was dropped
// and made anew, and the next command, sent before that, was lost.
TEST_P(SearchValueTest, ReachesMpdWhenItFitsOneRequestAndIsRefusedOtherwiseKeepingTheConnection) {
    const SearchValue& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWindow());
    MessageCapture capture;

    const qint32 result =
        slinkx->SlinkSend(QStringLiteral("cdj:search[artist == \"") + c.value + QStringLiteral("\"]"));

    EXPECT_EQ(result, c.fits ? MpdSlinkControl::Done : MpdSlinkControl::Refused);
    EXPECT_EQ(slinkx->SlinkSend(QStringLiteral("cdj:search[track == \"Lanterns\"]")), MpdSlinkControl::Done);
    EXPECT_EQ(peers.probe().queue().size(), 1U);
    EXPECT_THAT(capture.lines(), IsEmpty());
    if (!c.fits) {
        EXPECT_TRUE(waitForLabel1(QStringLiteral("cdj:error[search value too long for MPD]")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limit, SearchValueTest,
    ::testing::Values(SearchValue{"PlainAtTheLimit", QString(4000, QLatin1Char('A')), true},
                      SearchValue{"PlainOverTheLimit", QString(4001, QLatin1Char('A')), false},
                      SearchValue{"QuotedAtTheLimit", QString(2000, QLatin1Char('\\')), true},
                      SearchValue{"QuotedOverTheLimit", QString(2000, QLatin1Char('\\')) + QLatin1Char('x'),
                                  false},
                      // Three bytes each once encoded.
                      SearchValue{"WideOverTheLimit", QString(1334, QChar(0x20AC)), false}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace velmor::test
