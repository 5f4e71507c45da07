#include "announce/home_assistant_discovery.h"
#include "announce/velmor_payloads.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::UnorderedElementsAreArray;

// One key of one discovery config, its value written as JSON.
struct DiscoveryKey {
    const char* topic;
    const char* key;
    const char* json;
};

void PrintTo(const DiscoveryKey& c, std::ostream* out) {
    *out << c.topic << " " << c.key;
}

QString asJson(const QJsonValue& value) {
    // Wrapped in an array: a document cannot hold a bare string.
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

const QJsonObject* findConfig(const std::vector<DiscoveryConfig>& configs, const QString& topic) {
    for (const DiscoveryConfig& config : configs) {
        if (config.topic == topic)
            return &config.config;
    }
    return nullptr;
}

constexpr DiscoveryKey DiscoveryKeys[] = {
    {"homeassistant/sensor/velmor/now_playing/config", "state_topic", R"("velmor/now_playing")"},
    {"homeassistant/sensor/velmor/now_playing/config", "value_template", R"("{{ value_json.track }}")"},
    {"homeassistant/sensor/velmor/now_playing/config", "json_attributes_topic", R"("velmor/now_playing")"},
    {"homeassistant/event/velmor/call/config", "state_topic", R"("velmor/call")"},
    {"homeassistant/event/velmor/call/config", "event_types", R"(["call"])"},
    {"homeassistant/button/velmor/jukebox_play/config", "command_topic", R"("velmor/jukebox/send")"},
    {"homeassistant/button/velmor/jukebox_play/config", "payload_press", R"("cdj:playlist_play")"},
    {"homeassistant/button/velmor/jukebox_stop/config", "payload_press", R"("cdj:playlist_stop")"},
    {"homeassistant/button/velmor/jukebox_next/config", "payload_press", R"("cdj:playlist_next")"},
    {"homeassistant/button/velmor/jukebox_previous/config", "payload_press", R"("cdj:playlist_previous")"},
    {"homeassistant/button/velmor/jukebox_previous/config", "unique_id", R"("velmor_jukebox_previous")"},
};

class DiscoveryKeyTest : public ::testing::TestWithParam<DiscoveryKey> {};

TEST_P(DiscoveryKeyTest, HasValue) {
    const std::vector<DiscoveryConfig> configs = homeAssistantDiscovery();
    const QJsonObject* config = findConfig(configs, QString::fromUtf8(GetParam().topic));
    ASSERT_NE(config, nullptr);
    ASSERT_TRUE(config->contains(QLatin1String(GetParam().key)));
    EXPECT_EQ(asJson(config->value(QLatin1String(GetParam().key))).toStdString(), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(, DiscoveryKeyTest, ::testing::ValuesIn(DiscoveryKeys));

TEST(HomeAssistantDiscovery, OneDeviceOfSixEntitiesAllAvailableThroughVelmorStatus) {
    const std::vector<DiscoveryConfig> configs = homeAssistantDiscovery();
    std::vector<std::string> topics;
    QSet<QString> uniqueIds;
    for (const DiscoveryConfig& c : configs) {
        topics.push_back(c.topic.toStdString());
        uniqueIds.insert(c.config.value(QLatin1String("unique_id")).toString());
        SCOPED_TRACE(c.topic.toStdString());
        EXPECT_EQ(
            asJson(c.config.value(QLatin1String("device"))),
            QLatin1String(R"({"identifiers":["velmor"],"model":"Home controller bridge","name":"Velmor"})"));
        EXPECT_EQ(c.config.value(QLatin1String("availability_topic")).toString(),
                  QLatin1String("velmor/status"));
        EXPECT_EQ(c.config.value(QLatin1String("payload_available")).toString(), QLatin1String("online"));
        EXPECT_EQ(c.config.value(QLatin1String("payload_not_available")).toString(),
                  QLatin1String("offline"));
    }
    EXPECT_THAT(topics, UnorderedElementsAreArray({
                            "homeassistant/sensor/velmor/now_playing/config",
                            "homeassistant/event/velmor/call/config",
                            "homeassistant/button/velmor/jukebox_play/config",
                            "homeassistant/button/velmor/jukebox_stop/config",
                            "homeassistant/button/velmor/jukebox_next/config",
                            "homeassistant/button/velmor/jukebox_previous/config",
                        }));
    EXPECT_EQ(uniqueIds.size(), qsizetype(configs.size()));
}

struct PayloadCase {
    const char* name;
    QByteArray actual;
    const char* expected;
};

void PrintTo(const PayloadCase& c, std::ostream* out) {
    *out << c.name;
}

class PayloadTest : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(PayloadTest, IsExactJson) {
    EXPECT_EQ(GetParam().actual.toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , PayloadTest,
    ::testing::Values(
        // The real-broker test checks a plain track and call; these are the awkward ones.
        // Whatever the report held is passed on as text: JSON escapes, never a cut or a changed value.
        PayloadCase{"escaped and non-ASCII",
                    nowPlayingJson({QStringLiteral("A \\ B"), QStringLiteral("Bj\u00f6rk"),
                                    QStringLiteral("it's \"so\"\ttabbed"), QStringLiteral("9:5")}),
                    "{\"artist\":\"Bj\xC3\xB6rk\",\"disc\":\"A \\\\ B\",\"time\":\"9:5\","
                    "\"track\":\"it's \\\"so\\\"\\ttabbed\"}"},
        PayloadCase{"empty fields", nowPlayingJson({}), R"({"artist":"","disc":"","time":"","track":""})"},
        PayloadCase{"call with missing texts", callJson({}),
                    R"({"date":"","event_type":"call","line":"","name":"","number":"","time":""})"}));

} // namespace
} // namespace velmor::test
