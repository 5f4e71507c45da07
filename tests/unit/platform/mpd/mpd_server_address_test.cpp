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
    bool warns = false;
};

void PrintTo(const AddressCase& c, std::ostream* out) {
    *out << c.name;
}

// A port value that cannot be used: the default stands in, and the warning names both.
AddressCase unusablePort(const char* name, const char* value) {
    return {name, std::nullopt, QString::fromUtf8(value), {{}, MpdServerAddress::DefaultPort}, true};
}

class MpdServerAddressTable : public testing::TestWithParam<AddressCase> {};

TEST_P(MpdServerAddressTable, UsesWhatCanBeUsedAndSaysWhatReplacesTheRest) {
    const CheckedMpdServerAddress checked = checkMpdServerAddress(GetParam().host, GetParam().port);
    EXPECT_EQ(checked.address.host, GetParam().expected.host);
    EXPECT_EQ(checked.address.port, GetParam().expected.port);
    EXPECT_EQ(checked.warning.value_or(QString()),
              GetParam().warns
                  ? QStringLiteral("MPD_PORT \"%1\" is not a TCP port; using 6600").arg(*GetParam().port)
                  : QString());
    EXPECT_EQ(checked.warning.has_value(), GetParam().warns);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MpdServerAddressTable,
    testing::Values(
        AddressCase{"NothingSetLeavesItAllToTheLibrary", std::nullopt, std::nullopt, {}},
        AddressCase{"HostAsGiven", QStringLiteral("pw@/run/mpd/socket"), {}, {"pw@/run/mpd/socket", 0}},
        AddressCase{"Port", std::nullopt, QStringLiteral("6601"), {{}, 6601}},
        AddressCase{"PortWithBlanks", std::nullopt, QStringLiteral(" 1 "), {{}, 1}},
        AddressCase{"HighestPort", QStringLiteral("box"), QStringLiteral("65535"), {"box", 65535}},
        unusablePort("Letters", "abc"), unusablePort("PastTheLastPort", "99999"),
        unusablePort("PastSixteenBitsByAWholeTurn", "72136"), unusablePort("Zero", "0"),
        unusablePort("Negative", "-1"), unusablePort("Signed", "+6601"), unusablePort("Empty", ""),
        unusablePort("NumberThenText", "80abc")),
    [](const testing::TestParamInfo<AddressCase>& row) { return std::string(row.param.name); });

} // namespace
} // namespace velmor
