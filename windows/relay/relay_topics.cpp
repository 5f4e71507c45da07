#include "windows/relay/relay_topics.h"

namespace velmor::relay {

namespace {

constexpr std::string_view PokeSuffix = "/set";

} // namespace

bool isTopicLevel(std::string_view name) {
    return !name.empty() && name.find_first_of("/+#") == std::string_view::npos;
}

RelayTopics::RelayTopics(std::string_view application, std::string_view topic)
    : m_base("velmor/" + std::string(application) + '/' + std::string(topic)) {}

std::optional<std::string> RelayTopics::pokedItem(std::string_view topic) const {
    if (!topic.starts_with(m_base) || topic.size() <= m_base.size() || topic[m_base.size()] != '/' ||
        !topic.ends_with(PokeSuffix))
        return std::nullopt;
    const std::size_t start = m_base.size() + 1;
    if (topic.size() < start + PokeSuffix.size())
        return std::nullopt;
    const std::string_view item = topic.substr(start, topic.size() - start - PokeSuffix.size());
    if (!isTopicLevel(item))
        return std::nullopt;
    return std::string(item);
}

} // namespace velmor::relay
