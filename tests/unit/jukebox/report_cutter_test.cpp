#include "jukebox/report_cutter.h"
#include "jukebox/time_code.h"

#include <gmock/gmock.h>

#include <optional>

namespace velmor {

void PrintTo(const TrackInfo& t, std::ostream* os) {
    *os << "{\"" << t.discTitle.toStdString() << "\", \"" << t.artist.toStdString() << "\", \""
        << t.trackTitle.toStdString() << "\", \"" << t.trackTime.toStdString() << "\"}";
}

namespace test {
namespace {

TEST(WorkingTextTest, WorkedExampleFindsItsThreeSeparators) {
    const WorkingText working = workingTextOf(
        QStringLiteral("playing[\"Harbour Lights\",\"The Quiet Pines\",\"Morning Tide (Live)\",\"12:45\"]"));
    EXPECT_EQ(working.text,
              QStringLiteral("\"Harbour Lights\",\"The Quiet Pines\",\"Morning Tide <Live>\",\"12:45\"]"));
    EXPECT_THAT(working.separators, ::testing::ElementsAre(17, 35, 57));
}

TEST(WorkingTextTest, FirstCharacterIsNeverChangedAndTheLengthIsKept) {
    EXPECT_EQ(workingTextOf(QStringLiteral("playing[()(")).text, QStringLiteral("(><"));
    EXPECT_EQ(workingTextOf(QStringLiteral("playing(x)")).text, QStringLiteral("playing<x"));
    EXPECT_EQ(workingTextOf(QString()).text, QString());
}

struct CutCase {
    const char* message;
    std::optional<const char*> artist;
    std::optional<std::array<const char*, 4>> track;
};

void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.message;
}

class ReportCutterTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(ReportCutterTest, CutsAsFarAsTheLengthsAllow) {
    const CutCase& c = GetParam();
    const ReportCut cut = cutPlayingReport(QString::fromUtf8(c.message));

    ASSERT_EQ(cut.artist.has_value(), c.artist.has_value());
    if (c.artist) {
        EXPECT_EQ(*cut.artist, QString::fromUtf8(*c.artist));
    }
    ASSERT_EQ(cut.track.has_value(), c.track.has_value());
    if (c.track) {
        const auto& t = *c.track;
        EXPECT_EQ(*cut.track, (TrackInfo{QString::fromUtf8(t[0]), QString::fromUtf8(t[1]),
                                         QString::fromUtf8(t[2]), QString::fromUtf8(t[3])}));
    }
}

using Track = std::array<const char*, 4>;

INSTANTIATE_TEST_SUITE_P(
    Reports, ReportCutterTest,
    ::testing::Values(
        CutCase{R"r(playing["Harbour Lights","The Quiet Pines","Morning Tide (Live)","12:45"])r",
                "The Quiet Pines",
                Track{"Harbour Lights", "The Quiet Pines", "Morning Tide <Live>", "12:45"}},
        CutCase{R"r(playing["","Ann Other","Track One","03:07"])r", "Ann Other",
                Track{"", "Ann Other", "Track One", "03:07"}},
        CutCase{R"r(playing_status["D","A","T","01:02"])r", "A", Track{"D", "A", "T", "01:02"}},
        CutCase{R"r(playing["D","","","12:45"])r", "", Track{"D", "", "", "12:45"}},
        CutCase{R"r(playing["D","A","T","12:45","Fourth","Fifth"])r", "A", Track{"D", "A", "T", "12:45"}},
        CutCase{R"r(playing["D","A","T","4:05"])r", "A", Track{"D", "A", "T", "4:05\""}},
        CutCase{R"r(playing["D","A","T",""])r", "A", Track{"D", "A", "T", "\"]"}},
        CutCase{R"r(playing["(D)","A (B)","(T)(U)","(1:2)"])r", "A <B>",
                Track{"<D>", "A <B>", "<T><U>", "<1:2>"}},
        CutCase{R"r(playing"D","A","T","12:45")r", "A", Track{"laying\"D", "A", "T", "12:45"}},
        CutCase{R"r(playing["D","A","T"])r", "A", std::nullopt},
        CutCase{R"r(playing["D","A"])r", std::nullopt, std::nullopt},
        CutCase{R"r(playing["D"])r", std::nullopt, std::nullopt},
        CutCase{R"r(playing)r", std::nullopt, std::nullopt},
        CutCase{R"r(playing[","A","T","12:45"])r", std::nullopt, std::nullopt},
        CutCase{R"r(playing["D",","T","12:45"])r", std::nullopt, std::nullopt},
        CutCase{R"r(playing["D","A",","12:45"])r", "A", std::nullopt},
        CutCase{R"r(playing[x"D","A","T","12:45"])r", "A", Track{"\"D", "A", "T", "12:45"}}));

TEST(ReportCutterTest, LongFieldsHaveNoLengthLimit) {
    const QString disc(40'000, QLatin1Char('d'));
    const QString artist(70'000, QLatin1Char('a'));
    const ReportCut cut =
        cutPlayingReport(QStringLiteral("playing[\"%1\",\"%2\",\"T\",\"12:45\"]").arg(disc, artist));
    ASSERT_TRUE(cut.track);
    EXPECT_EQ(cut.track->discTitle, disc);
    EXPECT_EQ(cut.track->artist, artist);
    EXPECT_EQ(cut.track->trackTime, QStringLiteral("12:45"));
}

TEST(PlayingReportTest, OnlyALowerCasePlayingPrefixCounts) {
    EXPECT_TRUE(isPlayingReport(QStringLiteral("playing")));
    EXPECT_TRUE(isPlayingReport(QStringLiteral("playing_status[x]")));
    EXPECT_FALSE(isPlayingReport(QStringLiteral("Playing[\"D\",\"A\",\"T\",\"12:45\"]")));
    EXPECT_FALSE(isPlayingReport(QStringLiteral("playin")));
    EXPECT_FALSE(isPlayingReport(QStringLiteral(" playing")));
}

class TimeCodeTest : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(TimeCodeTest, ReadsDecimalWritesHex) {
    EXPECT_EQ(timeCode(QString::fromUtf8(GetParam().first)), QString::fromUtf8(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, TimeCodeTest,
    ::testing::Values(std::pair{"12", "0C"}, std::pair{"45", "2D"}, std::pair{"07", "07"},
                      std::pair{"00", "00"}, std::pair{"99", "63"}, std::pair{"", "00"}, std::pair{"5", "05"},
                      std::pair{" 5", "05"}, std::pair{"  ", "00"}, std::pair{"4:", "04"},
                      std::pair{"5\"", "05"}, std::pair{"1 ", "01"}, std::pair{"-5", "00"},
                      std::pair{"+5", "00"}, std::pair{".5", "00"}, std::pair{"x1", "00"},
                      std::pair{"\t5", "00"}, std::pair{"\xef\xbc\x95", "00"}, std::pair{"123", "0C"}));

} // namespace
} // namespace test
} // namespace velmor
