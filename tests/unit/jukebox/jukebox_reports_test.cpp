#include "jukebox/jukebox_reports.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

struct PlayingCase {
    TrackTags track;
    const char* expected;
};

TrackTags tags(const char* album, const char* artist, const char* title, unsigned seconds) {
    return {QString::fromUtf8(album), QString::fromUtf8(artist), QString::fromUtf8(title), seconds};
}

class PlayingReport : public testing::TestWithParam<PlayingCase> {};

TEST_P(PlayingReport, QuotesEachValueAndEndsWithTheLength) {
    EXPECT_EQ(playingReport(GetParam().track).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayingReport,
    testing::Values(
        PlayingCase{tags("Harbour Lights", "The Quiet Pines", "Morning Tide (Live)", 765),
                    R"r(playing["Harbour Lights","The Quiet Pines","Morning Tide (Live)","12:45"])r"},
        PlayingCase{tags("", "Ann Other", "Track One", 187),
                    R"r(playing["","Ann Other","Track One","03:07"])r"},
        PlayingCase{tags("", "", "", 0), R"r(playing["","","","00:00"])r"},
        // A quotation mark in a value would end the value early for whoever reads the report.
        PlayingCase{tags("Say \"Hi\"", "\"Q\"", "The \"Long\" Way (Home)", 15),
                    R"r(playing["Say 'Hi'","'Q'","The 'Long' Way (Home)","00:15"])r"},
        PlayingCase{tags("Norðurljós", "Sigrún Ólafsdóttir", "Ísbjörn", 13),
                    "playing[\"Norðurljós\",\"Sigrún Ólafsdóttir\",\"Ísbjörn\",\"00:13\"]"},
        // A value that looks like a placeholder is taken as it stands.
        PlayingCase{tags("%1", "%2", "%3", 1), R"r(playing["%1","%2","%3","00:01"])r"}));

struct TimeCase {
    unsigned seconds;
    const char* expected;
};

class TrackTime : public testing::TestWithParam<TimeCase> {};

TEST_P(TrackTime, HasTwoDigitMinutesCappedAt99_59) {
    EXPECT_EQ(trackTime(GetParam().seconds).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, TrackTime,
                         testing::Values(TimeCase{0, "00:00"}, TimeCase{7, "00:07"}, TimeCase{59, "00:59"},
                                         TimeCase{60, "01:00"}, TimeCase{765, "12:45"},
                                         TimeCase{5999, "99:59"}, TimeCase{6000, "99:59"},
                                         TimeCase{4'000'000'000U, "99:59"}));

} // namespace
} // namespace velmor
