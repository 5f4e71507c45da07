#include "windows/homevision/stand_in_options.h"

#include <charconv>
#include <string_view>

namespace velmor::homevision {

namespace {

constexpr std::string_view Help =
    "Usage: velmor-homevision [options] [script]\n"
    "Acts as HomeVision over DDE: serves the DDE topic HOMEVIS|DDE, prints every command and\n"
    "acknowledgement poked to it, acknowledges each command through DDECommandAcknowledge (\"OK 1\",\n"
    "\"OK 2\", ...), and delivers each line of its input (or of the script file) as a change of\n"
    "DDEMessage once the previous one was acknowledged.\n"
    "\n"
    "  --transcript, --json   print one JSON object per line instead of text\n"
    "  --ack-timeout <ms>     wait at most <ms> for each message's acknowledgement (default 10000)\n"
    "  --keep-serving         serve on after the last message until ended\n"
    "  --application <name>   answer as DDE application <name> (default HOMEVIS)\n"
    "  --topic <name>         serve DDE topic <name> (default DDE)\n"
    "  --refuse-poke <item>   refuse every poke of <item> (may be repeated)\n"
    "  -h, --help             show this help\n";

bool readMilliseconds(std::string_view text, int& value) {
    int parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || parsed < 0)
        return false;
    value = parsed;
    return true;
}

} // namespace

ParsedOptions parseStandInOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    StandInOptions& options = parsed.options;
    const auto invalid = [&](std::string why) {
        parsed.outcome = ParsedOptions::Outcome::Invalid;
        parsed.message = std::move(why);
        return parsed;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            parsed.outcome = ParsedOptions::Outcome::Help;
            parsed.message = Help;
            return parsed;
        }
        if (argument == "--transcript" || argument == "--json") {
            options.json = true;
            continue;
        }
        if (argument == "--keep-serving") {
            options.keepServing = true;
            continue;
        }
        if (!argument.starts_with("-")) {
            if (!options.scriptFile.empty())
                return invalid("At most one script file is read.");
            options.scriptFile = argument;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        std::string value;
        if (equals != std::string_view::npos)
            value = argument.substr(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else
            return invalid("Missing value after '" + std::string(argument) + "'.");
        if (name == "--ack-timeout") {
            if (!readMilliseconds(value, options.ackTimeoutMs))
                return invalid("--ack-timeout takes a number of milliseconds.");
        } else if (name == "--application") {
            options.application = value;
        } else if (name == "--topic") {
            options.topic = value;
        } else if (name == "--refuse-poke") {
            options.refusedPokes.insert(value);
        } else {
            return invalid("Unknown option '" + std::string(name) + "'.");
        }
    }
    return parsed;
}

} // namespace velmor::homevision
