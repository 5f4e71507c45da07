#include "windows/relay/relay_options.h"

#include "windows/relay/relay_topics.h"

#include <optional>
#include <string_view>

namespace velmor::relay {

namespace {

constexpr std::string_view Help =
    "Usage: velmor-dde-relay [--app NAME] [--topic NAME] [--advise ITEM,...] [--log FILE] BROKER_URL\n"
    "\n"
    "Opens a DDE conversation with HomeVision (application HOMEVIS, topic DDE) and puts it on the MQTT\n"
    "broker BROKER_URL, mqtt://[USER[:PASSWORD]@]HOST[:PORT], in the topics Velmor reads:\n"
    "  velmor/APP/TOPIC/state      \"online\" while HomeVision answers, \"offline\" otherwise (retained)\n"
    "  velmor/APP/TOPIC/ITEM       each new value of an advised item\n"
    "  velmor/APP/TOPIC/ITEM/set   each message here is poked to ITEM\n"
    "\n"
    "  --app NAME          the DDE application (default HOMEVIS)\n"
    "  --topic NAME        the DDE topic (default DDE)\n"
    "  --advise ITEM,...   the items to advise, in this order (default DDECommandAcknowledge,DDEMessage)\n"
    "  --log FILE          also append every line of the log to FILE\n"
    "  -h, --help          show this help\n";

RelayUsageProblem usage(std::string text) {
    return {std::move(text) + " (velmor-dde-relay --help tells more)"};
}

std::vector<std::string> splitItems(std::string_view list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        items.emplace_back(
            list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return items;
        start = comma + 1;
    }
}

} // namespace

RelayCommandLine parseRelayCommandLine(const std::vector<std::string>& arguments) {
    RelayOptions options;
    std::optional<std::string> brokerUrl;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "-h" || argument == "--help")
            return RelayHelp{std::string(Help)};
        if (!argument.starts_with("--")) {
            if (brokerUrl)
                return usage("only one BROKER_URL is taken, and \"" + std::string(argument) +
                             "\" is a second");
            brokerUrl = std::string(argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        std::string value;
        if (name != "--app" && name != "--topic" && name != "--advise" && name != "--log")
            return usage("unknown option " + std::string(name));
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return usage(std::string(name) + " needs a value");
        }
        if (name == "--log") {
            if (value.empty())
                return usage("--log needs a file name");
            options.logFile = value;
        } else if (name == "--advise") {
            options.advised = splitItems(value);
            for (const std::string& item : options.advised) {
                if (!isTopicLevel(item))
                    return usage(
                        "--advise takes item names without \"/\", \"+\" or \"#\", separated by commas");
            }
        } else {
            if (!isTopicLevel(value))
                return usage(std::string(name) + " takes a name without \"/\", \"+\" or \"#\"");
            (name == "--app" ? options.application : options.topic) = value;
        }
    }
    if (!brokerUrl)
        return usage("BROKER_URL is missing");
    BrokerUrlParse parsed = parseBrokerUrl(*brokerUrl, "BROKER_URL");
    if (auto* problem = std::get_if<BrokerUrlProblem>(&parsed))
        return RelayUsageProblem{std::move(problem->text)};
    options.broker = std::get<BrokerUrl>(std::move(parsed));
    if (options.broker.tls)
        return RelayUsageProblem{"BROKER_URL names a broker over TLS (mqtts://), and this relay was built "
                                 "without TLS: use mqtt://"};
    return options;
}

} // namespace velmor::relay
