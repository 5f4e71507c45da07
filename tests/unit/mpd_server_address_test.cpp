#include "platform/mpd/mpd_server_address.h"

#include <gtest/gtest.h>

#include <optional>

namespace velmor {
namespace {

struct AddressCase {
    const char* name;
    std::optional<QString> host;
    std::optional<QString> port;
    MpdServerAddress expected;
    const char* warning; // empty when none is due
};

void PrintTo(const AddressCase& c, std::ostream* out) {
    *out << c.name;
}

class MpdServerAddressTable : public testing::TestWithParam<AddressCase> {};

TEST_P(MpdServerAddressTable, UsesWhatCanBeUsedAndSaysWhatReplacesTheRest) {
    const CheckedMpdServerAddress checked = checkMpdServerAddress(GetParam().host, GetParam().port);
    EXPECT_EQ(checked.address.host, GetParam().expected.host);
    EXPECT_EQ(checked.address.port, GetParam().expected.port);
    EXPECT_EQ(checked.warning.toStdString(), GetParam().warning);
}

const char* const NoWarning = "";

INSTANTIATE_TEST_SUITE_P(
    Table, MpdServerAddressTable,
    testing::Values(
        AddressCase{"NothingSetLeavesItAllToTheLibrary", std::nullopt, std::nullopt, {}, NoWarning},
        AddressCase{"HostAsGiven",
                    QStringLiteral("secret@/run/mpd/socket"),
                    std::nullopt,
                    {"secret@/run/mpd/socket", 0},
                    NoWarning},
        AddressCase{"Port", std::nullopt, QStringLiteral("6601"), {{}, 6601}, NoWarning},
        AddressCase{"PortWithBlanks", std::nullopt, QStringLiteral(" 1 "), {{}, 1}, NoWarning},
        AddressCase{"HighestPort", QStringLiteral("box"), QStringLiteral("65535"), {"box", 65535}, NoWarning},
        AddressCase{"Letters",
                    std::nullopt,
                    QStringLiteral("abc"),
                    {{}, 6600},
                    "MPD_PORT \"abc\" is not a TCP port; using 6600"},
        AddressCase{"PastTheLastPort",
                    std::nullopt,
                    QStringLiteral("99999"),
                    {{}, 6600},
                    "MPD_PORT \"99999\" is not a TCP port; using 6600"},
        AddressCase{"PastSixteenBitsByAWholeTurn",
                    std::nullopt,
                    QStringLiteral("72136"),
                    {{}, 6600},
                    "MPD_PORT \"72136\" is not a TCP port; using 6600"},
        AddressCase{"Zero",
                    std::nullopt,
                    QStringLiteral("0"),
                    {{}, 6600},
                    "MPD_PORT \"0\" is not a TCP port; using 6600"},
        AddressCase{"Negative",
                    std::nullopt,
                    QStringLiteral("-1"),
                    {{}, 6600},
                    "MPD_PORT \"-1\" is not a TCP port; using 6600"},
        AddressCase{"Signed",
                    std::nullopt,
                    QStringLiteral("+6601"),
                    {{}, 6600},
                    "MPD_PORT \"+6601\" is not a TCP port; using 6600"},
        AddressCase{
            "Empty", std::nullopt, QString(), {{}, 6600}, "MPD_PORT \"\" is not a TCP port; using 6600"},
        AddressCase{"NumberThenText",
                    QStringLiteral("box"),
                    QStringLiteral("80abc"),
                    {"box", 6600},
                    "MPD_PORT \"80abc\" is not a TCP port; using 6600"}),
    [](const testing::TestParamInfo<AddressCase>& row) { return std::string(row.param.name); });

} // namespace
} // namespace velmor
