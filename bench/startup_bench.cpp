// Start-up: from launching the program to its window being mapped on an X display, for Velmor and for
// a bare Qt window (and one showing a line of text) in the same run, launched in turn. Velmor finds a
// HomeVision stand-in on a private bus, as it would at home, so that it opens its links and shows no box.
// Then the resident size of Velmor and of the window with text, each once it has started and settled.
#include "bench/latency_sample.h"
#include "bench/map_watch.h"
#include "bench/program_under_test.h"
#include "tests/support/homevision_process.h"
#include "tests/support/private_bus.h"
#include "tests/support/virtual_display.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace velmor::bench {

namespace {

constexpr int MapTimeoutMs = 10000;
constexpr int WarmUpLaunches = 2;
// As long as the message benchmark lets Velmor settle before it reads its size.
constexpr int SettleMs = 500;

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

// Velmor opens one link per DDE item.
constexpr std::ptrdiff_t LinksOpened = 4;

std::ptrdiff_t initiates(const test::Transcript& transcript) {
    return std::count_if(transcript.begin(), transcript.end(),
                         [](const test::TranscriptEntry& entry) { return entry.call == "Initiate"; });
}

// The resident size once the window was mapped, the program said it started, and it then settled; nothing
// if it did not get that far.
std::optional<qint64> residentAfterStart(const QString& program, const QProcessEnvironment& environment,
                                         MapWatch& watch, const QStringList& arguments,
                                         const std::function<bool()>& started) {
    ProgramUnderTest process(program, environment, arguments);
    watch.discardPending();
    if (!process.start() || !watch.waitForMap(MapTimeoutMs) || !started())
        return std::nullopt;
    QEventLoop settling;
    QTimer::singleShot(SettleMs, &settling, &QEventLoop::quit);
    settling.exec();
    return process.residentKiB();
}

void startUp(benchmark::State& state, const QProcessEnvironment& environment, MapWatch& watch,
             test::HomeVisionProcess& homeVision) {
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

    // Velmor has started once it opened its four links; the labelled window once it is shown.
    const auto before = initiates(homeVision.transcript());
    const auto velmorSize = residentAfterStart(velmor, environment, watch, {}, [&] {
        return homeVision.waitFor(
            [&](const test::Transcript& t) { return initiates(t) >= before + LinksOpened; });
    });
    const auto labelledSize = residentAfterStart(bare, environment, watch, withLabel, [] { return true; });
    if (!velmorSize || !labelledSize) {
        state.SkipWithError("a program did not start for its size to be read");
        return;
    }
    state.counters["rss_kib"] = static_cast<double>(*velmorSize);
    state.counters["labelled_rss_kib"] = static_cast<double>(*labelledSize);
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
        "StartUp",
        [&](benchmark::State& state) { velmor::bench::startUp(state, environment, watch, homeVision); })
        ->Iterations(20)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    homeVision.stop();
    return 0;
}
