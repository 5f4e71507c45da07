// Start-up: from launching the program to its window being mapped on an X display, for Velmor and for
// a bare Qt window (and one showing a line of text) in the same run, launched in turn. Velmor finds a
// HomeVision stand-in on a private bus, as it would at home, so that it opens its links and shows no box.
#include "bench/latency_sample.h"
#include "bench/map_watch.h"
#include "bench/program_under_test.h"
#include "tests/support/homevision_process.h"
#include "tests/support/private_bus.h"
#include "tests/support/virtual_display.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace velmor::bench {

namespace {

constexpr int MapTimeoutMs = 10000;
constexpr int WarmUpLaunches = 2;

// One launch until the window is mapped; the program is ended again before this returns.
std::optional<LatencySample::Duration> launch(const QString& program, const QProcessEnvironment& environment,
                                              MapWatch& watch, const QStringList& arguments = {}) {
    ProgramUnderTest process(program, environment, arguments);
    watch.discardPending();
    const auto launched = std::chrono::steady_clock::now();
    if (!process.start())
        return std::nullopt;
    const auto mapped = watch.waitForMap(MapTimeoutMs);
    if (!mapped)
        return std::nullopt;
    return *mapped - launched;
}

void startUp(benchmark::State& state, const QProcessEnvironment& environment, MapWatch& watch) {
    const QString velmor = velmorProgram();
    const QString bare = QStringLiteral(BARE_WINDOW_PROGRAM);
    for (int i = 0; i < WarmUpLaunches; ++i) {
        if (!launch(velmor, environment, watch) || !launch(bare, environment, watch)) {
            state.SkipWithError("a window was not shown");
            return;
        }
    }
    const QStringList withLabel{QStringLiteral("--label")};
    LatencySample velmorTimes;
    LatencySample bareTimes;
    LatencySample labelledTimes;
    for (auto _ : state) {
        const auto ofVelmor = launch(velmor, environment, watch);
        const auto ofBare = launch(bare, environment, watch);
        const auto ofLabelled = launch(bare, environment, watch, withLabel);
        if (!ofVelmor || !ofBare || !ofLabelled) {
            state.SkipWithError("a window was not shown");
            return;
        }
        velmorTimes.add(*ofVelmor);
        bareTimes.add(*ofBare);
        labelledTimes.add(*ofLabelled);
        state.SetIterationTime(std::chrono::duration<double>(*ofVelmor).count());
    }
    velmorTimes.publish(state);
    state.counters["bare_p50_us"] = bareTimes.percentileUs(0.50);
    state.counters["bare_p99_us"] = bareTimes.percentileUs(0.99);
    state.counters["labelled_p50_us"] = labelledTimes.percentileUs(0.50);
}

} // namespace

} // namespace velmor::bench

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    const velmor::test::VirtualDisplay display;
    if (!display.isRunning()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(display.errorString()));
        return 1;
    }
    velmor::bench::MapWatch watch(display.name());
    const velmor::test::PrivateBus bus;
    if (!watch.isConnected() || !bus.isRunning()) {
        std::fprintf(stderr, "no display or no private bus: %s\n", qUtf8Printable(bus.errorString()));
        return 1;
    }
    QProcessEnvironment environment =
        velmor::bench::measuredEnvironment(bus.address(), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), display.name());

    velmor::test::HomeVisionProcess homeVision(QStringLiteral(HOMEVISION_PROGRAM), bus);
    if (!homeVision.start()) {
        std::fprintf(stderr, "the HomeVision stand-in did not take its bus name: %s\n",
                     qUtf8Printable(homeVision.standardError()));
        return 1;
    }

    benchmark::RegisterBenchmark(
        "StartUp", [&](benchmark::State& state) { velmor::bench::startUp(state, environment, watch); })
        ->Iterations(20)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    homeVision.stop();
    return 0;
}
