#include "platform/ncid/ncid_server_address.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

TEST(NcidPortTest, TakesOnlyPortsThatExist) {
    EXPECT_EQ(parseNcidPort(QStringLiteral("3333")), 3333);
    EXPECT_EQ(parseNcidPort(QStringLiteral(" 65535 ")), 65535);
    for (const char* bad : {"", "0", "65536", "70000", "-1", "33 33", "port", "0x10"})
        EXPECT_EQ(parseNcidPort(QString::fromUtf8(bad)), std::nullopt) << bad;
}

} // namespace
} // namespace velmor::test
