// Velmor's message round trip over MQTT, with the broker's own floor beside it: the benchmark acts as
// HomeVision on a throwaway broker and talks to the built program.
#include "bench/latency_sample.h"
#include "bench/mqtt_homevision_side.h"
#include "bench/program_under_test.h"
#include "platform/mqtt/mosquitto_library.h"
#include "tests/support/homevision_process.h"
#include "tests/support/throwaway_mosquitto.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace velmor::bench {

namespace {

constexpr int WarmUpMessages = 100;

void roundTrip(benchmark::State& state, const test::ThrowawayMosquitto& broker) {
    MqttHomeVisionSide homeVision(std::get<MqttBrokerAddress>(parseMqttBrokerAddress(broker.url())));
    if (!homeVision.serve()) {
        state.SkipWithError("cannot serve HOMEVIS|DDE on the broker");
        return;
    }
    test::HomeVisionProcess floorPeer(QStringLiteral(HOMEVISION_PROGRAM), broker.url());
    if (!floorPeer.start({QStringLiteral("--application"), MqttHomeVisionSide::FloorApplication,
                          QStringLiteral("--keep-serving")})) {
        state.SkipWithError("the floor's peer did not start");
        return;
    }
    QProcessEnvironment environment =
        measuredEnvironment(QStringLiteral("unix:path=/nonexistent"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("VELMOR_MQTT"), broker.url());
    ProgramUnderTest velmor(velmorProgram(), environment);
    if (!velmor.start()) {
        state.SkipWithError("Velmor did not start");
        return;
    }
    if (!homeVision.waitForVelmor(WarmUpMessages)) {
        state.SkipWithError(
            QStringLiteral("Velmor did not answer: %1").arg(velmor.errorOutput()).toUtf8().constData());
        return;
    }

    LatencySample roundTrips;
    LatencySample floor;
    roundTrips.reserve(static_cast<std::size_t>(state.max_iterations));
    floor.reserve(static_cast<std::size_t>(state.max_iterations));
    for (auto _ : state) {
        const auto message = homeVision.roundTrip(homeVision.nextMessage());
        const auto bare = homeVision.floor();
        if (!message || !bare) {
            state.SkipWithError("a message or a floor poke went unanswered");
            return;
        }
        roundTrips.add(*message);
        floor.add(*bare);
        state.SetIterationTime(std::chrono::duration<double>(*message).count());
    }
    roundTrips.publish(state);
    state.counters["floor_p50_us"] = floor.percentileUs(0.50);
    state.counters["floor_p99_us"] = floor.percentileUs(0.99);
}

} // namespace

} // namespace velmor::bench

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const velmor::MosquittoLibrary library;
    velmor::test::ThrowawayMosquitto broker;
    if (!broker.start()) {
        std::fprintf(stderr, "no broker: %s\n", qUtf8Printable(broker.failure()));
        return 1;
    }
    benchmark::RegisterBenchmark(
        "MqttMessageRoundTrip",
        [&broker](benchmark::State& state) { velmor::bench::roundTrip(state, broker); })
        ->Iterations(10000)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
