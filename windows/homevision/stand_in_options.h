#pragma once

#include <set>
#include <string>
#include <vector>

namespace velmor::homevision {

// The Windows stand-in takes the options of velmor-homevision that DDE can carry.
struct StandInOptions {
    std::string application = "HOMEVIS";
    std::string topic = "DDE";
    // Messages to deliver, one per line (UTF-8); empty for standard input.
    std::string scriptFile;
    bool json = false;
    int ackTimeoutMs = 10000;
    // Serve on after the last message instead of ending.
    bool keepServing = false;
    std::set<std::string> refusedPokes;
};

struct ParsedOptions {
    enum class Outcome { Run, Help, Invalid };
    Outcome outcome = Outcome::Run;
    StandInOptions options;
    // The help text, or why the command line was not understood.
    std::string message;
};

// The arguments after the program's name, in UTF-8.
[[nodiscard]] ParsedOptions parseStandInOptions(const std::vector<std::string>& arguments);

} // namespace velmor::homevision
