#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmor::relay {

// Whether a DDE name can stand as one level of an MQTT topic: not empty, and no "/", "+" or "#".
[[nodiscard]] bool isTopicLevel(std::string_view name);

// The broker's side of one DDE application and topic, as Velmor reads and writes it:
// velmor/APP/TOPIC/state, velmor/APP/TOPIC/ITEM for each change, velmor/APP/TOPIC/ITEM/set for each
// poke.
class RelayTopics {
public:
    RelayTopics(std::string_view application, std::string_view topic);

    [[nodiscard]] std::string state() const { return m_base + "/state"; }
    [[nodiscard]] std::string item(std::string_view item) const { return m_base + '/' + std::string(item); }
    // The filter that takes every poke.
    [[nodiscard]] std::string pokes() const { return m_base + "/+/set"; }
    // The item a message on this topic pokes; nothing when the topic is no poke of ours.
    [[nodiscard]] std::optional<std::string> pokedItem(std::string_view topic) const;

private:
    std::string m_base;
};

} // namespace velmor::relay
