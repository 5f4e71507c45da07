#pragma once

#include <QString>

#include <optional>

namespace velmor {

// Where a DDE link lives on the broker: for application APP, topic TOPIC and item ITEM, the controller
// keeps "online" on velmor/APP/TOPIC/state, publishes the item's values on velmor/APP/TOPIC/ITEM and
// takes pokes on velmor/APP/TOPIC/ITEM/set.
struct MqttDdeTopics {
    QString state;
    QString item;
    QString poke;

    friend bool operator==(const MqttDdeTopics&, const MqttDdeTopics&) = default;
};

// Splits "APP|TOPIC" at the first bar. Empty when a part is empty or holds what a topic level cannot
// carry literally: "/", the wildcards "+" and "#", or a NUL.
[[nodiscard]] std::optional<MqttDdeTopics> mqttDdeTopics(const QString& linkTopic, const QString& item);

} // namespace velmor
