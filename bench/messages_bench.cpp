// Velmor's message round trip with two floors beside it (the bus's own ping, and a bare QtDBus client
// doing the same acknowledgement with no window) and Velmor's memory under a long run of messages: the
// benchmark acts as HomeVision on a private bus and talks to the built programs.
#include "bench/homevision_side.h"
#include "bench/latency_sample.h"
#include "bench/program_under_test.h"
#include "tests/support/private_bus.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <optional>

namespace velmor::bench {

namespace {

constexpr int WarmUpMessages = 100;

QString messageNumber(qint64 n) {
    return QStringLiteral("Hallway motion detected %1").arg(n);
}

// One Velmor, talking to this process as HomeVision, for one benchmark.
class Conversation {
public:
    explicit Conversation(const test::PrivateBus& bus)
        : m_homeVision(bus.connection())
        , m_velmor(velmorProgram(), measuredEnvironment(bus.address(), QStringLiteral("offscreen"))) {}

    // Serves HomeVision, starts Velmor and waits until it opened its links.
    [[nodiscard]] bool open(benchmark::State& state) {
        if (!m_homeVision.serve()) {
            state.SkipWithError("cannot serve HOMEVIS|DDE on the private bus");
            return false;
        }
        if (!m_velmor.start() || !m_homeVision.waitForClient(m_velmor.pid())) {
            state.SkipWithError(QStringLiteral("Velmor did not open its links: %1")
                                    .arg(m_velmor.errorOutput())
                                    .toUtf8()
                                    .constData());
            return false;
        }
        return true;
    }

    // Sends messages, not timed; false (and the benchmark skipped) when one goes unacknowledged.
    [[nodiscard]] bool send(benchmark::State& state, qint64 count) {
        for (qint64 i = 0; i < count; ++i) {
            if (!m_homeVision.roundTrip(messageNumber(m_sent++))) {
                state.SkipWithError("a message went unacknowledged");
                return false;
            }
        }
        return true;
    }

    HomeVisionSide& homeVision() { return m_homeVision; }
    ProgramUnderTest& velmor() { return m_velmor; }
    qint64 nextNumber() { return m_sent++; }

private:
    HomeVisionSide m_homeVision;
    ProgramUnderTest m_velmor;
    qint64 m_sent = 0;
};

// The bare client's own conversation: a HomeVision side for another DDE application, on a second
// connection, so that its messages and Velmor's never meet.
class BareConversation {
public:
    static constexpr const char* Application = "BAREHV";

    explicit BareConversation(const test::PrivateBus& bus)
        : m_homeVision(QDBusConnection::connectToBus(bus.address(), QStringLiteral("bare-client-floor")),
                       QLatin1String(Application))
        , m_client(QStringLiteral(BARE_CLIENT_PROGRAM),
                   measuredEnvironment(bus.address(), QStringLiteral("offscreen")),
                   {QLatin1String(Application)}) {}

    [[nodiscard]] bool open(benchmark::State& state) {
        if (!m_homeVision.serve() || !m_client.start() || !m_homeVision.waitForClient(m_client.pid())) {
            state.SkipWithError(QStringLiteral("the bare client did not open its links: %1")
                                    .arg(m_client.errorOutput())
                                    .toUtf8());
            return false;
        }
        for (int i = 0; i < WarmUpMessages; ++i) {
            if (!m_homeVision.roundTrip(messageNumber(i))) {
                state.SkipWithError("a message to the bare client went unacknowledged");
                return false;
            }
        }
        return true;
    }

    [[nodiscard]] std::optional<HomeVisionSide::Duration> roundTrip(qint64 n) {
        return m_homeVision.roundTrip(messageNumber(n));
    }

private:
    HomeVisionSide m_homeVision;
    ProgramUnderTest m_client;
};

// From the message going out to the acknowledgement poke arriving, one message at a time. The bare
// ping and the bare client are measured in the same loop, in turn, so all three see the same machine.
void roundTrip(benchmark::State& state, const test::PrivateBus& bus) {
    Conversation conversation(bus);
    BareConversation bare(bus);
    if (!conversation.open(state) || !conversation.send(state, WarmUpMessages) || !bare.open(state))
        return;
    HomeVisionSide& homeVision = conversation.homeVision();
    LatencySample roundTrips;
    LatencySample floor;
    LatencySample bareClient;
    for (LatencySample* sample : {&roundTrips, &floor, &bareClient})
        sample->reserve(static_cast<std::size_t>(state.max_iterations));
    for (auto _ : state) {
        const qint64 n = conversation.nextNumber();
        const auto message = homeVision.roundTrip(messageNumber(n));
        const auto ping = homeVision.ping();
        const auto bareMessage = bare.roundTrip(n);
        if (!message || !ping || !bareMessage) {
            state.SkipWithError("a message or a ping went unanswered");
            return;
        }
        roundTrips.add(*message);
        floor.add(*ping);
        bareClient.add(*bareMessage);
        state.SetIterationTime(std::chrono::duration<double>(*message).count());
    }
    roundTrips.publish(state);
    state.counters["floor_p50_us"] = floor.percentileUs(0.50);
    state.counters["floor_p99_us"] = floor.percentileUs(0.99);
    state.counters["bare_client_p50_us"] = bareClient.percentileUs(0.50);
    state.counters["bare_client_p99_us"] = bareClient.percentileUs(0.99);
}

// Whether a message sent the moment the previous one was acknowledged waits for what its client does
// after acknowledging (Velmor repaints its window then). Each iteration lets both clients settle, then
// times a message after the pause and one straight behind it, for Velmor and for the bare client.
void backToBack(benchmark::State& state, const test::PrivateBus& bus) {
    constexpr int PauseMs = 10;
    Conversation conversation(bus);
    BareConversation bare(bus);
    if (!conversation.open(state) || !conversation.send(state, WarmUpMessages) || !bare.open(state))
        return;
    HomeVisionSide& homeVision = conversation.homeVision();
    LatencySample afterPause;
    LatencySample behind;
    LatencySample bareAfterPause;
    LatencySample bareBehind;
    for (auto _ : state) {
        homeVision.idle(PauseMs);
        const auto first = homeVision.roundTrip(messageNumber(conversation.nextNumber()));
        const auto second = homeVision.roundTrip(messageNumber(conversation.nextNumber()));
        homeVision.idle(PauseMs);
        const auto bareFirst = bare.roundTrip(conversation.nextNumber());
        const auto bareSecond = bare.roundTrip(conversation.nextNumber());
        if (!first || !second || !bareFirst || !bareSecond) {
            state.SkipWithError("a message went unacknowledged");
            return;
        }
        afterPause.add(*first);
        behind.add(*second);
        bareAfterPause.add(*bareFirst);
        bareBehind.add(*bareSecond);
        state.SetIterationTime(std::chrono::duration<double>(*second).count());
    }
    behind.publish(state);
    state.counters["after_pause_p50_us"] = afterPause.percentileUs(0.50);
    state.counters["bare_behind_p50_us"] = bareBehind.percentileUs(0.50);
    state.counters["bare_after_pause_p50_us"] = bareAfterPause.percentileUs(0.50);
}

// Velmor's resident size once it has started, after the first thousand messages and after all.
void memory(benchmark::State& state, const test::PrivateBus& bus) {
    Conversation conversation(bus);
    if (!conversation.open(state))
        return;
    constexpr qint64 First = 1000;
    const qint64 total = state.range(0);
    for (auto _ : state) {
        conversation.homeVision().idle(500);
        const qint64 atStart = conversation.velmor().residentKiB();
        if (!conversation.send(state, First))
            return;
        const qint64 afterFirst = conversation.velmor().residentKiB();
        if (!conversation.send(state, total - First))
            return;
        const qint64 afterAll = conversation.velmor().residentKiB();
        state.counters["rss_start_kib"] = static_cast<double>(atStart);
        state.counters["rss_1k_kib"] = static_cast<double>(afterFirst);
        state.counters["rss_end_kib"] = static_cast<double>(afterAll);
        state.counters["messages"] = static_cast<double>(total);
    }
}

} // namespace

} // namespace velmor::bench

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const velmor::test::PrivateBus bus;
    if (!bus.isRunning()) {
        std::fprintf(stderr, "no private bus: %s\n", qUtf8Printable(bus.errorString()));
        return 1;
    }
    benchmark::RegisterBenchmark("MessageRoundTrip",
                                 [&bus](benchmark::State& state) { velmor::bench::roundTrip(state, bus); })
        ->Iterations(10000)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("MessageBackToBack",
                                 [&bus](benchmark::State& state) { velmor::bench::backToBack(state, bus); })
        ->Iterations(1000)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("MemoryUnderMessages",
                                 [&bus](benchmark::State& state) { velmor::bench::memory(state, bus); })
        ->Arg(100000)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
