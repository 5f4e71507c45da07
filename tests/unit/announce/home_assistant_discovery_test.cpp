#include "announce/home_assistant_discovery.h"
#include "announce/velmor_payloads.h"
#include "jukebox/jukebox_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::UnorderedElementsAreArray;

QString asJson(const QJsonValue& value) {
    // Wrapped in an array: a document cannot hold a bare string.
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

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

// A button is only as good as the command it sends: one the jukebox carries out, addressed to the
// transmit port the window defines, on the topic Velmor takes commands from.
TEST(HomeAssistantDiscovery, EveryButtonSendsACommandTheJukeboxCarriesOut) {
    int buttons = 0;
    for (const DiscoveryConfig& c : homeAssistantDiscovery()) {
        if (!c.topic.startsWith(QLatin1String("homeassistant/button/")))
            continue;
        ++buttons;
        SCOPED_TRACE(c.topic.toStdString());
        EXPECT_EQ(c.config.value(QLatin1String("command_topic")).toString(), velmor_topic::JukeboxSend);
        const auto sent = splitAddressedCommand(c.config.value(QLatin1String("payload_press")).toString());
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->port, QLatin1String("cdj"));
        EXPECT_TRUE(parseJukeboxCommand(sent->command)) << sent->command.toStdString();
    }
    EXPECT_EQ(buttons, 4);
}

// The sensor and the event entity read the topics Velmor publishes on, in the shape it publishes.
TEST(HomeAssistantDiscovery, TheSensorAndTheEventReadWhatVelmorPublishes) {
    const std::vector<DiscoveryConfig> configs = homeAssistantDiscovery();
    const auto config = [&](const char* component) {
        const auto found = std::ranges::find_if(
            configs, [&](const DiscoveryConfig& c) { return c.topic.contains(QLatin1String(component)); });
        return found == configs.end() ? QJsonObject() : found->config;
    };
    const QJsonObject sensor = config("/sensor/");
    EXPECT_EQ(sensor.value(QLatin1String("state_topic")).toString(), velmor_topic::NowPlaying);
    EXPECT_EQ(sensor.value(QLatin1String("json_attributes_topic")).toString(), velmor_topic::NowPlaying);
    const QString field = sensor.value(QLatin1String("value_template"))
                              .toString()
                              .section(QLatin1String("value_json."), 1)
                              .section(QLatin1Char(' '), 0, 0);
    EXPECT_TRUE(QJsonDocument::fromJson(nowPlayingJson({})).object().contains(field)) << field.toStdString();

    const QJsonObject event = config("/event/");
    EXPECT_EQ(event.value(QLatin1String("state_topic")).toString(), velmor_topic::Call);
    EXPECT_EQ(event.value(QLatin1String("event_types")).toArray(),
              QJsonArray{QJsonDocument::fromJson(callJson({})).object().value(QLatin1String("event_type"))});
}

} // namespace
} // namespace velmor::test
