#include "announce/home_assistant_discovery.h"

#include "announce/velmor_payloads.h"

#include <QJsonArray>

namespace velmor {

namespace {

const QString NodeId = QStringLiteral("velmor");

QJsonObject device() {
    return QJsonObject{
        {QStringLiteral("identifiers"), QJsonArray{NodeId}},
        {QStringLiteral("name"), QStringLiteral("Velmor")},
        {QStringLiteral("model"), QStringLiteral("Home controller bridge")},
    };
}

// What every entity of the device shares: its identity, the device and the availability.
DiscoveryConfig entity(const QString& component, const QString& objectId, const QString& name,
                       const QString& icon) {
    return DiscoveryConfig{
        HomeAssistantPrefix + QLatin1Char('/') + component + QLatin1Char('/') + NodeId + QLatin1Char('/') +
            objectId + QStringLiteral("/config"),
        QJsonObject{
            {QStringLiteral("name"), name},
            {QStringLiteral("unique_id"), NodeId + QLatin1Char('_') + objectId},
            {QStringLiteral("icon"), icon},
            {QStringLiteral("device"), device()},
            {QStringLiteral("availability_topic"), velmor_topic::Status},
            {QStringLiteral("payload_available"), QString::fromLatin1(StatusOnline)},
            {QStringLiteral("payload_not_available"), QString::fromLatin1(StatusOffline)},
        },
    };
}

struct JukeboxButton {
    const char* objectId;
    const char* name;
    const char* command;
    const char* icon;
};

constexpr JukeboxButton JukeboxButtons[] = {
    {"jukebox_play", "Play", "cdj:playlist_play", "mdi:play"},
    {"jukebox_stop", "Stop", "cdj:playlist_stop", "mdi:stop"},
    {"jukebox_next", "Next", "cdj:playlist_next", "mdi:skip-next"},
    {"jukebox_previous", "Previous", "cdj:playlist_previous", "mdi:skip-previous"},
};

} // namespace

std::vector<DiscoveryConfig> homeAssistantDiscovery() {
    std::vector<DiscoveryConfig> configs;

    DiscoveryConfig nowPlaying = entity(QStringLiteral("sensor"), QStringLiteral("now_playing"),
                                        QStringLiteral("Now playing"), QStringLiteral("mdi:music"));
    nowPlaying.config.insert(QStringLiteral("state_topic"), velmor_topic::NowPlaying);
    nowPlaying.config.insert(QStringLiteral("value_template"), QStringLiteral("{{ value_json.track }}"));
    nowPlaying.config.insert(QStringLiteral("json_attributes_topic"), velmor_topic::NowPlaying);
    configs.push_back(std::move(nowPlaying));

    DiscoveryConfig call = entity(QStringLiteral("event"), QStringLiteral("call"), QStringLiteral("Call"),
                                  QStringLiteral("mdi:phone-incoming"));
    call.config.insert(QStringLiteral("state_topic"), velmor_topic::Call);
    call.config.insert(QStringLiteral("event_types"), QJsonArray{QStringLiteral("call")});
    configs.push_back(std::move(call));

    for (const JukeboxButton& button : JukeboxButtons) {
        DiscoveryConfig config = entity(QStringLiteral("button"), QLatin1String(button.objectId),
                                        QLatin1String(button.name), QLatin1String(button.icon));
        config.config.insert(QStringLiteral("command_topic"), velmor_topic::JukeboxSend);
        config.config.insert(QStringLiteral("payload_press"), QLatin1String(button.command));
        configs.push_back(std::move(config));
    }
    return configs;
}

} // namespace velmor
