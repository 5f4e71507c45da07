#pragma once

#include <QJsonObject>
#include <QString>

#include <vector>

namespace velmor {

// Where Home Assistant looks for MQTT discovery configs, and where it says it (re)started.
inline const QString HomeAssistantPrefix = QStringLiteral("homeassistant");
inline const QString HomeAssistantStatus = QStringLiteral("homeassistant/status");

// One retained discovery message: homeassistant/COMPONENT/velmor/OBJECT/config and its JSON.
struct DiscoveryConfig {
    QString topic;
    QJsonObject config;
};

// The configs of the one device "Velmor": the track now playing as a sensor, calls as an event entity
// and the jukebox's play, stop, next and previous as buttons, all available while velmor/status
// says "online". The buttons send their command to the jukebox's transmit port "cdj", the one the
// window defines, as someone typing into its command box would.
[[nodiscard]] std::vector<DiscoveryConfig> homeAssistantDiscovery();

} // namespace velmor
