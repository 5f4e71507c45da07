#include "core/error.h"
#include "jukebox/now_playing_file.h"
#include "jukebox/now_playing_observer.h"
#include "jukebox/report_handler.h"
#include "platform/posix/posix_regular_files.h"
#include "tests/support/error_of.h"
#include "tests/support/fake_homevision_commands.h"
#include "tests/support/fake_window.h"

#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const QString HarbourLights =
    QStringLiteral("playing[\"Harbour Lights\",\"The Quiet Pines\",\"Morning Tide (Live)\",\"12:45\"]");

class ReportHandlerTest : public ::testing::Test {
protected:
    ReportHandlerTest() { window.cdInfo = dir.filePath(QStringLiteral("cdnow.txt")); }

    void receive(const QString& message) { handler.Slinkx_SlinkReceived(QStringLiteral("cdj"), message); }
    QByteArray file() const {
        QFile f(window.cdInfo);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    CallLog log;
    FakeWindow window;
    PosixRegularFiles files;
    FakeHomeVisionCommands homeVision{log};
    PendingCommands pendingCommands;
    QString currentArtist;
    ReportHandler handler{window, files, homeVision, pendingCommands, currentArtist};
};

struct PlayingCase {
    QString message;
    const char* sent;
    const char* minutesEntry;
    const char* secondsEntry;
    TrackInfo track;
};

class PlayingReportTest : public ReportHandlerTest, public ::testing::WithParamInterface<PlayingCase> {};

TEST_P(PlayingReportTest, WritesTheFileSendsTheTimeAndParksThree) {
    const PlayingCase& c = GetParam();
    receive(c.message);

    EXPECT_EQ(window.label1, QStringLiteral("cdj:") + c.message);
    EXPECT_EQ(currentArtist, c.track.artist);
    EXPECT_EQ(file(), nowPlayingFileContent(c.track));
    EXPECT_THAT(log.entries(), ElementsAre(std::string("Send_DDE_Command ") + c.sent));
    EXPECT_EQ(pendingCommands[1], QString::fromUtf8(c.minutesEntry));
    EXPECT_EQ(pendingCommands[2], QString::fromUtf8(c.secondsEntry));
    EXPECT_EQ(pendingCommands[3], QStringLiteral(",O1900"));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, PlayingReportTest,
    ::testing::Values(PlayingCase{HarbourLights,
                                  ",=1200002D0C00",
                                  ",?1F000C",
                                  ",?20002D",
                                  {QStringLiteral("Harbour Lights"), QStringLiteral("The Quiet Pines"),
                                   QStringLiteral("Morning Tide <Live>"), QStringLiteral("12:45")}},
                      PlayingCase{QStringLiteral("playing[\"\",\"Ann Other\",\"Track One\",\"03:07\"]"),
                                  ",=120000070300",
                                  ",?1F0003",
                                  ",?200007",
                                  {QString(), QStringLiteral("Ann Other"), QStringLiteral("Track One"),
                                   QStringLiteral("03:07")}},
                      PlayingCase{QStringLiteral("playing[\"D\",\"A\",\"T\",\"4:05\"]"),
                                  ",=120000050400",
                                  ",?1F0004",
                                  ",?200005",
                                  {QStringLiteral("D"), QStringLiteral("A"), QStringLiteral("T"),
                                   QStringLiteral("4:05\"")}},
                      PlayingCase{QStringLiteral("playing[\"D\",\"A\",\"T\",\"\"]"),
                                  ",=120000000000",
                                  ",?1F0000",
                                  ",?200000",
                                  {QStringLiteral("D"), QStringLiteral("A"), QStringLiteral("T"),
                                   QStringLiteral("\"]")}}));

struct PlayerCase {
    const char* message;
    std::vector<std::string> sent;
};

void PrintTo(const PlayerCase& c, std::ostream* os) {
    *os << c.message;
}

class PlayerReportTest : public ReportHandlerTest, public ::testing::WithParamInterface<PlayerCase> {};

TEST_P(PlayerReportTest, IsShownAndSendsItsCommandsInOrder) {
    currentArtist = QStringLiteral("earlier");
    const QString message = QString::fromUtf8(GetParam().message);

    handler.Slinkx_SlinkReceived(QStringLiteral("cdjr"), message);

    EXPECT_EQ(window.label1, QStringLiteral("cdjr:") + message);
    EXPECT_THAT(log.entries(), ElementsAreArray(GetParam().sent));
    EXPECT_EQ(currentArtist, QStringLiteral("earlier"));
    EXPECT_THAT(pendingCommands, ::testing::Each(QString()));
    EXPECT_FALSE(QFile::exists(window.cdInfo));
}

INSTANTIATE_TEST_SUITE_P(
    Reports, PlayerReportTest,
    ::testing::Values(
        PlayerCase{"using_player[mp3]", {"Send_DDE_Command ,=0F00000A0000", "Send_DDE_Command ,O2B00"}},
        PlayerCase{"using_player[mp3]extra", {"Send_DDE_Command ,=0F00000A0000", "Send_DDE_Command ,O2B00"}},
        PlayerCase{"using_player[cd]", {"Send_DDE_Command ,O2B00"}},
        PlayerCase{"using_player", {"Send_DDE_Command ,O2B00"}},
        PlayerCase{"echo[using_player[mp3]]", {"Send_DDE_Command ,O1F00"}}, PlayerCase{"using_playe", {}},
        PlayerCase{"Using_player[mp3]", {}}, PlayerCase{"Playing[\"D\",\"A\",\"T\",\"12:45\"]", {}},
        PlayerCase{"stopped", {}}, PlayerCase{"", {}}));

TEST_F(ReportHandlerTest, ClearedCheck1LeavesEntry3AsItWas) {
    window.check1 = 0;
    pendingCommands[3] = QStringLiteral(",O1900");
    receive(HarbourLights);
    EXPECT_EQ(pendingCommands[3], QStringLiteral(",O1900"));

    pendingCommands[3].clear();
    receive(HarbourLights);
    EXPECT_TRUE(pendingCommands[3].isEmpty());
}

TEST_F(ReportHandlerTest, NewReportOverwritesTheParkedTimeAndReplacesTheFile) {
    receive(HarbourLights);
    pendingCommands[1].clear();
    receive(QStringLiteral("playing[\"\",\"Ann Other\",\"Track One\",\"03:07\"]"));

    EXPECT_EQ(pendingCommands[1], QStringLiteral(",?1F0003"));
    EXPECT_EQ(pendingCommands[2], QStringLiteral(",?200007"));
    EXPECT_EQ(file(), nowPlayingFileContent({QString(), QStringLiteral("Ann Other"),
                                             QStringLiteral("Track One"), QStringLiteral("03:07")}));
}

TEST_F(ReportHandlerTest, CharacterWithoutAWindows1252ByteIsWrittenAsAQuestionMark) {
    receive(QStringLiteral("playing[\"Slavonic Dances\",\"Dvořák\",\"Furiant\",\"05:10\"]"));
    EXPECT_EQ(currentArtist, QStringLiteral("Dvořák"));
    EXPECT_TRUE(file().contains("\r\nA:Dvo?\xe1k\r\n"));
}

struct FailureCase {
    const char* name;
    QString message;
    QString cdInfo; // a bad path, or a good one when the report itself is at fault
    QString artistAfter;
    int number;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class ReportFailureTest : public ReportHandlerTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReportFailureTest, EndsTheHandlingBeforeAnythingIsSentOrParked) {
    const FailureCase& c = GetParam();
    receive(HarbourLights);
    const QByteArray oldFile = file();
    const QString goodPath = window.cdInfo;
    log.clear();
    pendingCommands = {};
    pendingCommands[3] = QStringLiteral("kept");
    if (!c.cdInfo.isNull())
        window.cdInfo = c.cdInfo == QStringLiteral("<empty>") ? QString() : dir.filePath(c.cdInfo);

    const std::optional<Error> e = errorOf([&] { receive(c.message); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), c.number);
    const QString named = c.cdInfo.isNull() ? c.message : window.cdInfo;
    EXPECT_TRUE(e->description().contains(named)) << e->description().toStdString();

    EXPECT_EQ(window.label1, QStringLiteral("cdj:") + c.message);
    EXPECT_EQ(currentArtist, c.artistAfter);
    EXPECT_THAT(log.entries(), IsEmpty());
    EXPECT_THAT(pendingCommands,
                ElementsAre(QString(), QString(), QString(), QStringLiteral("kept"), QString(), QString(),
                            QString(), QString(), QString(), QString(), QString()));
    window.cdInfo = goodPath;
    EXPECT_EQ(file(), oldFile);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ReportFailureTest,
    ::testing::Values(
        FailureCase{"no separators", QStringLiteral("playing[using_player[mp3]]"), QString(),
                    QStringLiteral("The Quiet Pines"), error_number::InvalidProcedureCall},
        FailureCase{"separator at the start", QStringLiteral("playing[\",\"A\",\"T\",\"12:45\"]"), QString(),
                    QStringLiteral("The Quiet Pines"), error_number::InvalidProcedureCall},
        FailureCase{"no track title", QStringLiteral("playing[\"D\",\"New Artist\",\",\"12:45\"]"), QString(),
                    QStringLiteral("New Artist"), error_number::InvalidProcedureCall},
        FailureCase{"empty path", QStringLiteral("playing[\"D\",\"A\",\"T\",\"12:45\"]"),
                    QStringLiteral("<empty>"), QStringLiteral("A"), error_number::PathFileAccess},
        FailureCase{"missing folder", QStringLiteral("playing[\"D\",\"A\",\"T\",\"12:45\"]"),
                    QStringLiteral("missing/cdnow.txt"), QStringLiteral("A"), error_number::PathFileAccess}));

class RecordingNowPlaying : public NowPlayingObserver {
public:
    void nowPlaying(const TrackInfo& track) override { tracks.push_back(track); }
    std::vector<TrackInfo> tracks;
};

struct ObservedCase {
    const char* name;
    QString message;
    bool fileWritable;
    std::vector<TrackInfo> told;
};

void PrintTo(const ObservedCase& c, std::ostream* out) {
    *out << c.name;
}

class ObservedReportTest : public ReportHandlerTest, public ::testing::WithParamInterface<ObservedCase> {};

// Others hear of a track only when the file holds it: never of one the file does not show.
TEST_P(ObservedReportTest, TellsTheObserverOfEachTrackWrittenToTheFile) {
    RecordingNowPlaying observer;
    ReportHandler observed{window, files, homeVision, pendingCommands, currentArtist, &observer};
    if (!GetParam().fileWritable)
        window.cdInfo = dir.filePath(QStringLiteral("no-such-folder/cdnow.txt"));
    static_cast<void>(
        errorOf([&] { observed.Slinkx_SlinkReceived(QStringLiteral("cdj"), GetParam().message); }));
    EXPECT_EQ(observer.tracks, GetParam().told);
}

INSTANTIATE_TEST_SUITE_P(
    , ObservedReportTest,
    ::testing::Values(ObservedCase{"written",
                                   HarbourLights,
                                   true,
                                   {{QStringLiteral("Harbour Lights"), QStringLiteral("The Quiet Pines"),
                                     QStringLiteral("Morning Tide <Live>"), QStringLiteral("12:45")}}},
                      ObservedCase{"not cut", QStringLiteral("playing[\"only\"]"), true, {}},
                      ObservedCase{"file not written", HarbourLights, false, {}},
                      ObservedCase{"not a track", QStringLiteral("using_player[mp3]"), true, {}}));

} // namespace
} // namespace velmor::test
