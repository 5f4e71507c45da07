// velmor-dde-relay: HomeVision's DDE items on an MQTT broker, for Velmor on another machine.
#include "windows/common/wide_text.h"
#include "windows/relay/relay.h"
#include "windows/relay/relay_log.h"
#include "windows/relay/relay_options.h"

#include <windows.h>

#include <cstdio>
#include <mosquitto.h>

using namespace velmor::relay;

namespace {

// The console's control handler gets no context, and there is one console per process.
DWORD relayThread = 0;
HANDLE relayEnded = nullptr;

BOOL WINAPI onConsoleControl(DWORD /*event*/) {
    PostThreadMessageW(relayThread, WM_QUIT, 0, 0);
    // Returning lets Windows end the process when its console closes: first the relay says "offline".
    WaitForSingleObject(relayEnded, 4000);
    return TRUE;
}

struct MosquittoLibrary {
    MosquittoLibrary() { mosquitto_lib_init(); }
    ~MosquittoLibrary() { mosquitto_lib_cleanup(); }
    MosquittoLibrary(const MosquittoLibrary&) = delete;
    MosquittoLibrary& operator=(const MosquittoLibrary&) = delete;
};

} // namespace

int main() {
    const RelayCommandLine commandLine = parseRelayCommandLine(velmor::windows::commandLineArguments());
    if (const auto* help = std::get_if<RelayHelp>(&commandLine)) {
        std::fputs(help->text.c_str(), stdout);
        return 0;
    }
    if (const auto* problem = std::get_if<RelayUsageProblem>(&commandLine)) {
        std::fprintf(stderr, "velmor-dde-relay: %s\n", problem->text.c_str());
        return 2;
    }
    const auto& options = std::get<RelayOptions>(commandLine);

    RelayLog log;
    std::string why;
    if (!options.logFile.empty() && !log.alsoTo(options.logFile, why)) {
        log.write("cannot append to the log file " + options.logFile + ": " + why);
        return 1;
    }
    const MosquittoLibrary library;
    relayThread = GetCurrentThreadId();
    relayEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    int status = 0;
    try {
        Relay relay(options, log);
        SetConsoleCtrlHandler(&onConsoleControl, TRUE);
        relay.run();
    } catch (const std::exception& failure) {
        log.write(failure.what());
        status = 1;
    }
    SetEvent(relayEnded);
    return status;
}
