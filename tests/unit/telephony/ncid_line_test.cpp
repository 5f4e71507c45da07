#include "telephony/ncid_line.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using Kind = NcidLineKind;

struct LineCase {
    const char* line;
    Kind kind;
    // DATE, TIME, LINE, NMBR, NAME of a call
    std::array<const char*, 5> call{"", "", "", "", ""};
};

void PrintTo(const LineCase& c, std::ostream* out) {
    *out << '"' << c.line << '"';
}

class NcidLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(NcidLineTest, ReadsTheKindAndTheCallFields) {
    const LineCase& c = GetParam();
    NcidLine expected{c.kind, {}};
    if (c.kind == Kind::Call) {
        expected.call = {QString::fromUtf8(c.call[0]), QString::fromUtf8(c.call[1]),
                         QString::fromUtf8(c.call[2]), QString::fromUtf8(c.call[3]),
                         QString::fromUtf8(c.call[4])};
    }
    EXPECT_EQ(parseNcidLine(c.line), expected);
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, NcidLineTest,
    ::testing::Values(LineCase{"200 Server: ncidd (NCID) 1.13\n", Kind::Greeting},
                      LineCase{"210 API: 1.11 Feature Set 1 2 3 4 5\r\n", Kind::Greeting},
                      LineCase{"254 Start of call log", Kind::Greeting},
                      LineCase{"250 End of call log\n", Kind::Greeting},
                      LineCase{"251 Call log not sent", Kind::Greeting},
                      LineCase{"300 End of connection startup\r\n", Kind::EndOfGreeting},
                      LineCase{"300 end of call log\n", Kind::EndOfGreeting}, // older servers
                      LineCase{"300", Kind::EndOfGreeting}, LineCase{"3000 End", Kind::Other},
                      LineCase{"300End", Kind::Other}, LineCase{"30 End", Kind::Other},
                      LineCase{"400 Start of data requiring OK", Kind::Other},
                      LineCase{"OPT: hangup-1\n", Kind::Other},
                      LineCase{"OPT: LineIDs: \"POTS\"", Kind::Other}));

INSTANTIATE_TEST_SUITE_P(
    History, NcidLineTest,
    ::testing::Values(
        LineCase{"CIDLOG: *DATE*12012015*TIME*0028*LINE*POTS*NMBR*4075551212*MESG*NONE*NAME*JOHN DOE*\n",
                 Kind::History},
        LineCase{"HUPLOG: *DATE*12012015*TIME*0105*LINE*POTS*NMBR*8005550100*MESG*NONE*NAME*SPAM*\r\n",
                 Kind::History},
        LineCase{"OUTLOG: *DATE*12012015*TIME*0105*LINE*VOIP*NMBR*5551212*MESG*NONE*NAME*-*", Kind::History},
        LineCase{"MSGLOG: Call Log too big ***DATE*03162024*TIME*0000*NAME*-*NMBR*-*LINE*-*MTYPE*SYS*",
                 Kind::History},
        LineCase{"LOG: # Aug  1 00:30:01 localhost newsyslog[35020]: logfile turned over", Kind::History}));

INSTANTIATE_TEST_SUITE_P(
    LiveCalls, NcidLineTest,
    ::testing::Values(
        LineCase{"CID: *DATE*12082026*TIME*0930*LINE*POTS*NMBR*4075551212*MESG*NONE*NAME*JOHN DOE*\n",
                 Kind::Call,
                 {"12082026", "0930", "POTS", "4075551212", "JOHN DOE"}},
        // The fields newer servers add are skipped.
        LineCase{"CID: *DATE*03032022*TIME*0935*LINE*WC09*NMBR*4185558765*MESG*NONE*FNMBR*418-555-8765*"
                 "NTYPE*FIX/CELL*CTRY*US*LOCA*California*CARI*SOME CARRIER*NAME*WIRELESS CALLER*\r\n",
                 Kind::Call,
                 {"03032022", "0935", "WC09", "4185558765", "WIRELESS CALLER"}},
        LineCase{"CID: ***DATE*12082026*TIME*0930*LINE*POTS*NMBR*4075551212*NAME*JOHN DOE*",
                 Kind::Call,
                 {"12082026", "0930", "POTS", "4075551212", "JOHN DOE"}},
        LineCase{"CID: *NAME*JANE ROE*NMBR*5551234*JJJJ*new*LINE*HOME*TIME*2359*DATE*31122025*\n",
                 Kind::Call,
                 {"31122025", "2359", "HOME", "5551234", "JANE ROE"}},
        // "-" is "nothing to show"; the other placeholders are what the server knows.
        LineCase{"CID: *DATE*12082026*TIME*0930*LINE*-*NMBR*-*MESG*NONE*NAME*NO NAME*\n",
                 Kind::Call,
                 {"12082026", "0930", "", "", "NO NAME"}},
        LineCase{"CID: *DATE*12082026*TIME*0930*LINE*POTS*NMBR*OUT-OF-AREA*MESG*NONE*NAME*-*",
                 Kind::Call,
                 {"12082026", "0930", "POTS", "OUT-OF-AREA", ""}},
        LineCase{"CID: *DATE*12082026*TIME*0930*LINE*POTS*NMBR*NO-NUMBER*NAME*PRIVATE*",
                 Kind::Call,
                 {"12082026", "0930", "POTS", "NO-NUMBER", "PRIVATE"}},
        // A blank is a text like any other: only the label's absence or "-" empties a field.
        LineCase{"CID: *NMBR* *NAME* J D *", Kind::Call, {"", "", "", " ", " J D "}},
        LineCase{"CID: *NMBR**NAME*X*", Kind::Call, {"", "", "", "", "X"}},
        LineCase{"CID: *NMBR*111*NMBR*222*", Kind::Call, {"", "", "", "111", ""}},
        LineCase{"CID: *nmbr*111*Name*x*", Kind::Call},
        LineCase{
            "CID: *DATE*12082026*NAME*JOS\xC3\x89*", Kind::Call, {"12082026", "", "", "", "JOS\xC3\x89"}},
        // Not UTF-8: an old modem's Latin-1 name.
        LineCase{"CID: *DATE*12082026*NAME*JOS\xC9*", Kind::Call, {"12082026", "", "", "", "JOS\xC3\x89"}}));

INSTANTIATE_TEST_SUITE_P(
    BrokenAndForeign, NcidLineTest,
    ::testing::Values(
        LineCase{"CID: *DATE*12082026*TIME", Kind::Call, {"12082026", "", "", "", ""}},
        LineCase{"CID: *DATE*12082026*NMBR*5551234", Kind::Call, {"12082026", "", "", "5551234", ""}},
        LineCase{"CID:", Kind::Call}, LineCase{"CID: garbage\n", Kind::Call},
        LineCase{"CID *NMBR*5551234*", Kind::Other}, LineCase{"cid: *NMBR*5551234*", Kind::Other},
        LineCase{" CID: *NMBR*5551234*", Kind::Other},
        LineCase{"+CID: *DATE*12082026*TIME*0930*LINE*POTS*NMBR*5551234*NAME*RELAYED*", Kind::Other},
        LineCase{"+CIDLOG: *NMBR*5551234*", Kind::Other},
        LineCase{"CIDINFO: *LINE*POTS*RING*1*TIME*16:20:05*", Kind::Other},
        LineCase{"HUP: *DATE*12082026*TIME*0930*LINE*POTS*NMBR*8005550100*NAME*SPAM*", Kind::Other},
        LineCase{"WID: *DATE*12082026*TIME*0930*LINE*POTS*NMBR*5551234*NAME*WAITING*", Kind::Other},
        LineCase{"MSG: Caller ID Logfile too big: (95000 > 90000) bytes", Kind::Other},
        LineCase{"Client Ident: client ncid (NCID) 1.0", Kind::Other}, LineCase{"", Kind::Other},
        LineCase{"\r\n", Kind::Other}, LineCase{": *NMBR*1*", Kind::Other}));

struct FormatCase {
    NcidCall call;
    const char* line;
};

class NcidFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NcidFormatTest, WritesTheLineAServerSendsAndReadsItBack) {
    const FormatCase& c = GetParam();
    const QByteArray line = formatNcidCallLine("CID", c.call);
    EXPECT_EQ(line.toStdString(), c.line);
    const NcidLine read = parseNcidLine(line);
    EXPECT_EQ(read.kind, Kind::Call);
    EXPECT_EQ(read.call.number, c.call.number);
    EXPECT_EQ(read.call.line, c.call.line);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, NcidFormatTest,
    ::testing::Values(
        FormatCase{{QStringLiteral("12082026"), QStringLiteral("0930"), QStringLiteral("POTS"),
                    QStringLiteral("5551234"), QStringLiteral("JOHN DOE")},
                   "CID: *DATE*12082026*TIME*0930*LINE*POTS*NMBR*5551234*MESG*NONE*NAME*JOHN DOE*"},
        FormatCase{{QStringLiteral("12082026"), QStringLiteral("0930"), QString(), QString(),
                    QStringLiteral("A*B\nC")},
                   "CID: *DATE*12082026*TIME*0930*LINE*-*NMBR*-*MESG*NONE*NAME*A B C*"}));

} // namespace
} // namespace velmor::test
