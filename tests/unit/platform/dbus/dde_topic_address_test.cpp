#include "platform/dbus/dde_topic_address.h"

#include <gtest/gtest.h>

namespace velmor {

void PrintTo(const DdeTopicAddress& address, std::ostream* out) {
    *out << address.service.toStdString() << ' ' << address.path.toStdString();
}

namespace test {
namespace {

struct TopicCase {
    const char* topic;
    std::optional<DdeTopicAddress> expected;
};

void PrintTo(const TopicCase& c, std::ostream* out) {
    *out << '"' << c.topic << '"';
}

class DdeTopicAddressTest : public ::testing::TestWithParam<TopicCase> {};

TEST_P(DdeTopicAddressTest, MapsApplicationToBusNameAndTopicToPath) {
    EXPECT_EQ(ddeTopicAddress(QString::fromUtf8(GetParam().topic)), GetParam().expected);
}

DdeTopicAddress at(const char* service, const char* path) {
    return {QString::fromUtf8(service), QString::fromUtf8(path)};
}

INSTANTIATE_TEST_SUITE_P(
    Topics, DdeTopicAddressTest,
    ::testing::Values(TopicCase{"HOMEVIS|DDE", at("org.velmor.DDE.HOMEVIS", "/DDE")},
                      TopicCase{"Excel-2|Sheet_1", at("org.velmor.DDE.Excel-2", "/Sheet_1")},
                      TopicCase{"_A|9", at("org.velmor.DDE._A", "/9")},
                      // Split at the first bar: the rest is the topic, and a bar cannot be in a path.
                      TopicCase{"HOMEVIS|DDE|X", std::nullopt}, TopicCase{"HOMEVIS", std::nullopt},
                      TopicCase{"|DDE", std::nullopt}, TopicCase{"HOMEVIS|", std::nullopt},
                      TopicCase{"", std::nullopt}, TopicCase{"HOME VIS|DDE", std::nullopt},
                      TopicCase{"HOME.VIS|DDE", std::nullopt}, TopicCase{"2HOMEVIS|DDE", std::nullopt},
                      TopicCase{"HOMEVIS|D/E", std::nullopt}, TopicCase{"HOMEVIS|DDE-1", std::nullopt},
                      TopicCase{"HÖMEVIS|DDE", std::nullopt},
                      TopicCase{"HOMEVIS|c:\\sheet.xls", std::nullopt}));

TEST(DdeTopicAddressLimit, KeepsTheBusNameWithinTheBusLimit) {
    const QString longest(255 - QStringLiteral("org.velmor.DDE.").size(), QLatin1Char('A'));
    EXPECT_TRUE(ddeTopicAddress(longest + QStringLiteral("|DDE")).has_value());
    EXPECT_FALSE(ddeTopicAddress(longest + QStringLiteral("A|DDE")).has_value());
}

} // namespace
} // namespace test
} // namespace velmor
