// velmor-bench-homevision.exe [COUNT]: HomeVision for the round-trip benchmark through the relay. Serves
// HOMEVIS|DDE over real DDE and, once a client advises DDEMessage, times COUNT messages (default 1000),
// each from the change of DDEMessage to the arrival of its acknowledgement poked to
// DDEMessageAcknowledge. Prints each time in microseconds, one per line, and nothing else on standard
// output; says on standard error why it gave up when it does.
#include "windows/homevision/dde_topic_server.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace velmor::homevision;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int WarmUpMessages = 100;
// The client's message link may not listen yet when the first messages go out; they are lost, not late.
constexpr int LinkAttempts = 50;
constexpr auto LinkAttemptLimit = std::chrono::milliseconds(200);
constexpr auto AnswerLimit = std::chrono::seconds(10);

class BenchHomeVision final : private DdeTopicServer::Listener {
public:
    BenchHomeVision()
        : m_server("HOMEVIS", "DDE", {}, *this) {}

    void serve() { m_server.serve(); }

    // Runs the message loop until a client advises DDEMessage; false when none did in time.
    bool waitForClient() {
        return pumpUntil([this] { return m_clientListens; }, AnswerLimit);
    }

    // Delivers the message and waits for its acknowledgement: how long that took, or nothing.
    std::optional<Clock::duration> roundTrip(const std::string& message, Clock::duration limit) {
        m_answered.reset();
        m_awaiting = true;
        const auto sent = Clock::now();
        m_server.setItem("DDEMessage", message);
        const bool answered = pumpUntil([this] { return m_answered.has_value(); }, limit);
        m_awaiting = false;
        if (!answered)
            return std::nullopt;
        return *m_answered - sent;
    }

private:
    // Velmor's acknowledgement names no message ("OK 1", "OK 2", ...): the first one after a message
    // is that message's.
    void received(const std::string& call, const std::string& item, const std::string&) override {
        if (call == "Poke" && item == "DDEMessageAcknowledge" && m_awaiting && !m_answered)
            m_answered = Clock::now();
    }
    void sent(const std::string&, const std::string&) override {}
    void advised(const std::string& item) override {
        m_clientListens = m_clientListens || item == "DDEMessage";
    }
    void poked(const std::string&, const std::string&) override {}

    template <typename Condition> bool pumpUntil(Condition done, Clock::duration limit) {
        const auto deadline = Clock::now() + limit;
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
                if (message.hwnd == nullptr && message.message == DdeTopicServer::AcceptPokesMessage)
                    m_server.acceptPokes();
                else
                    DispatchMessageW(&message);
            }
        }
        return true;
    }

    DdeTopicServer m_server;
    bool m_awaiting = false;
    std::optional<Clock::time_point> m_answered;
    bool m_clientListens = false;
};

int giveUp(const char* why) {
    std::fprintf(stderr, "velmor-bench-homevision: %s\n", why);
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    BenchHomeVision homeVision;
    homeVision.serve();
    std::fprintf(stderr, "velmor-bench-homevision: serving HOMEVIS|DDE over DDE\n");
    if (!homeVision.waitForClient())
        return giveUp("no client advised DDEMessage");
    int sent = 0;
    const auto message = [&sent] { return "Hallway motion detected " + std::to_string(sent++); };
    bool linked = false;
    for (int i = 0; i < LinkAttempts && !linked; ++i)
        linked = homeVision.roundTrip(message(), LinkAttemptLimit).has_value();
    for (int i = 0; linked && i < WarmUpMessages; ++i)
        linked = homeVision.roundTrip(message(), AnswerLimit).has_value();
    if (!linked)
        return giveUp("the messages went unacknowledged");

    std::vector<Clock::duration> times;
    for (int i = 0; i < count; ++i) {
        const auto time = homeVision.roundTrip(message(), AnswerLimit);
        if (!time)
            return giveUp("a message went unacknowledged");
        times.push_back(*time);
    }
    for (const Clock::duration time : times)
        std::printf("%lld\n", static_cast<long long>(
                                  std::chrono::duration_cast<std::chrono::microseconds>(time).count()));
    return 0;
}
