// velmor-homevision.exe: acts as HomeVision over real DDE, for the relay's tests and the demo under wine.
#include "windows/common/wide_text.h"
#include "windows/homevision/console_input.h"
#include "windows/homevision/homevision_stand_in.h"
#include "windows/homevision/stand_in_options.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

using namespace velmor::homevision;

namespace {

// A final line end ends the last line; it does not start an empty one.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (line.ends_with('\r'))
            line.pop_back();
        result.push_back(std::move(line));
        start = end + 1;
    }
    return result;
}

} // namespace

int main() {
    // The transcript's bytes as they are, "\n" included, whatever the C library would make of them.
    _setmode(_fileno(stdout), _O_BINARY);
    const ParsedOptions parsed = parseStandInOptions(velmor::windows::commandLineArguments());
    if (parsed.outcome == ParsedOptions::Outcome::Help) {
        std::fputs(parsed.message.c_str(), stdout);
        return 0;
    }
    if (parsed.outcome == ParsedOptions::Outcome::Invalid) {
        std::fprintf(stderr, "velmor-homevision: %s\n", parsed.message.c_str());
        return 2;
    }
    const StandInOptions& options = parsed.options;
    try {
        HomeVisionStandIn standIn(options);
        auto input = std::make_shared<InputMailbox>(GetCurrentThreadId(), HomeVisionStandIn::InputMessage);
        if (options.scriptFile.empty()) {
            readInputLines(input);
        } else {
            std::FILE* script = _wfopen(velmor::windows::wideFromUtf8(options.scriptFile).c_str(), L"rb");
            if (script == nullptr) {
                std::fprintf(stderr, "velmor-homevision: cannot read %s\n", options.scriptFile.c_str());
                return 1;
            }
            std::string text;
            char buffer[4096];
            for (std::size_t count = 0; (count = std::fread(buffer, 1, sizeof buffer, script)) > 0;)
                text.append(buffer, count);
            std::fclose(script);
            for (const std::string& line : lines(text))
                standIn.addMessage(line);
            standIn.endOfInput();
        }
        standIn.run(*input);
    } catch (const velmor::windows::DdeFailure& failure) {
        std::fprintf(stderr, "velmor-homevision: %s\n", failure.what());
        return 1;
    }
    return 0;
}
