#include "core/journal_line.h"

#include <gtest/gtest.h>

namespace velmor::test {
namespace {

struct LineCase {
    QtMsgType type;
    const char* formatted;
    const char* expected;
};

void PrintTo(const LineCase& c, std::ostream* out) {
    *out << c.type << " \"" << c.formatted << '"';
}

class JournalLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(JournalLineTest, EveryLineCarriesTheMessagesPriority) {
    EXPECT_EQ(journalLine(GetParam().type, QString::fromUtf8(GetParam().formatted)).toStdString(),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Types, JournalLineTest,
    ::testing::Values(
        LineCase{QtFatalMsg, "velmor.app: out of file handles", "<3>velmor.app: out of file handles"},
        LineCase{QtCriticalMsg, "velmor.app: Velmor stops: error 5: x",
                 "<3>velmor.app: Velmor stops: error 5: x"},
        LineCase{QtWarningMsg, "velmor.jukebox: cannot reach MPD (refused); trying again",
                 "<4>velmor.jukebox: cannot reach MPD (refused); trying again"},
        LineCase{QtInfoMsg, "velmor.jukebox: connected to MPD", "<6>velmor.jukebox: connected to MPD"},
        LineCase{QtDebugMsg, "velmor.telephony: call: CID: *NMBR*5551234*",
                 "<7>velmor.telephony: call: CID: *NMBR*5551234*"},
        // A message of several lines stays at its priority on each of them.
        LineCase{QtWarningMsg, "first\nsecond\n", "<4>first\n<4>second\n<4>"},
        LineCase{QtInfoMsg, "", "<6>"}));

struct StreamCase {
    const char* journalStream;
    bool expected;
};

void PrintTo(const StreamCase& c, std::ostream* out) {
    *out << '"' << c.journalStream << '"';
}

class JournalStreamTest : public ::testing::TestWithParam<StreamCase> {};

// Standard error here is device 2049, inode 81234.
TEST_P(JournalStreamTest, OnlyTheStreamSystemdConnectedIsTheJournal) {
    EXPECT_EQ(isJournalStream(GetParam().journalStream, 2049, 81234), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, JournalStreamTest,
                         ::testing::Values(StreamCase{"2049:81234", true},
                                           // inherited by a child whose standard error went elsewhere
                                           StreamCase{"2049:81235", false}, StreamCase{"2050:81234", false},
                                           StreamCase{"", false}, StreamCase{"2049", false},
                                           StreamCase{":81234", false}, StreamCase{"2049:", false},
                                           StreamCase{"2049:81234:1", false}, StreamCase{"x:81234", false}));

} // namespace
} // namespace velmor::test
