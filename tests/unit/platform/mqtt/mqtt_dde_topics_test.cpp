#include "platform/mqtt/mqtt_dde_topics.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

struct TopicsCase {
    const char* linkTopic;
    const char* item;
    std::optional<MqttDdeTopics> expected;
};

void PrintTo(const TopicsCase& c, std::ostream* out) {
    *out << c.linkTopic << " " << c.item;
}

class MqttDdeTopicsTest : public ::testing::TestWithParam<TopicsCase> {};

TEST_P(MqttDdeTopicsTest, Splits) {
    EXPECT_EQ(mqttDdeTopics(QString::fromUtf8(GetParam().linkTopic), QString::fromUtf8(GetParam().item)),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , MqttDdeTopicsTest,
    ::testing::Values(
        TopicsCase{"HOMEVIS|DDE", "DDEMessage",
                   MqttDdeTopics{QStringLiteral("velmor/HOMEVIS/DDE/state"),
                                 QStringLiteral("velmor/HOMEVIS/DDE/DDEMessage"),
                                 QStringLiteral("velmor/HOMEVIS/DDE/DDEMessage/set")}},
        TopicsCase{"A|B|C", "x",
                   MqttDdeTopics{QStringLiteral("velmor/A/B|C/state"), QStringLiteral("velmor/A/B|C/x"),
                                 QStringLiteral("velmor/A/B|C/x/set")}},
        TopicsCase{"HOMEVIS", "DDEMessage", std::nullopt}, TopicsCase{"|DDE", "DDEMessage", std::nullopt},
        TopicsCase{"HOMEVIS|", "x", std::nullopt}, TopicsCase{"HOME/VIS|DDE", "x", std::nullopt},
        TopicsCase{"HOMEVIS|DDE", "#", std::nullopt}, TopicsCase{"HOMEVIS|+", "x", std::nullopt},
        TopicsCase{"HOMEVIS|DDE", "", std::nullopt}));

} // namespace
} // namespace velmor::test
