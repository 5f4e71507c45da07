#pragma once

#include "platform/mqtt/broker_url.h"

#include <string>
#include <variant>
#include <vector>

namespace velmor::relay {

struct RelayOptions {
    std::string application = "HOMEVIS";
    std::string topic = "DDE";
    // The items whose every change goes to the broker, advised in this order. HomeVision changes
    // DDEMessage on its own as soon as it is advised; advised last, that change cannot arrive while
    // another advise waits for its answer (some DDEML implementations take it for that answer).
    std::vector<std::string> advised{"DDECommandAcknowledge", "DDEMessage"};
    BrokerUrl broker;
    // Where the log goes besides standard error (UTF-8); empty for nowhere else.
    std::string logFile;
};

struct RelayHelp {
    std::string text;
};

// Why the command line was not understood, in one sentence.
struct RelayUsageProblem {
    std::string text;
};

using RelayCommandLine = std::variant<RelayOptions, RelayHelp, RelayUsageProblem>;

// Reads the arguments after the program's name, in UTF-8:
// [--app NAME] [--topic NAME] [--advise ITEM,...] [--log FILE] BROKER_URL, each option also as
// --option=VALUE.
[[nodiscard]] RelayCommandLine parseRelayCommandLine(const std::vector<std::string>& arguments);

} // namespace velmor::relay
