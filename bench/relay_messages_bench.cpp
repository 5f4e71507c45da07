// Velmor's message round trip through the Windows DDE relay, with the same round trip beside it, in the
// same run, where HomeVision speaks MQTT itself: the benchmark starts a throwaway broker, Velmor, and
// either its own HomeVision on the broker or the relay with the Windows build's benchmark HomeVision
// under wine, which times its messages itself and hands over the times.
#include "bench/latency_sample.h"
#include "bench/mqtt_homevision_side.h"
#include "bench/program_under_test.h"
#include "platform/mqtt/mosquitto_library.h"
#include "tests/support/child_process.h"
#include "tests/support/relay_process.h"
#include "tests/support/throwaway_mosquitto.h"
#include "tests/support/windows_build.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace velmor::bench {

namespace {

constexpr int Messages = 1000;
constexpr int WarmUpMessages = 100;
constexpr int RunLimitMs = 120'000;

ProgramUnderTest velmorOn(const test::ThrowawayMosquitto& broker) {
    QProcessEnvironment environment =
        measuredEnvironment(QStringLiteral("unix:path=/nonexistent"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("VELMOR_MQTT"), broker.url());
    return ProgramUnderTest(velmorProgram(), environment);
}

// HomeVision on the broker itself, in this process.
std::optional<LatencySample> onTheBroker(const test::ThrowawayMosquitto& broker, QString& why) {
    MqttHomeVisionSide homeVision(std::get<MqttBrokerAddress>(parseMqttBrokerAddress(broker.url())));
    ProgramUnderTest velmor = velmorOn(broker);
    if (!homeVision.serve() || !velmor.start() || !homeVision.waitForVelmor(WarmUpMessages)) {
        why = QStringLiteral("HomeVision on the broker heard nothing from Velmor: ") + velmor.errorOutput();
        return std::nullopt;
    }
    LatencySample sample;
    for (int i = 0; i < Messages; ++i) {
        const auto time = homeVision.roundTrip(homeVision.nextMessage());
        if (!time) {
            why = QStringLiteral("a message on the broker went unacknowledged");
            return std::nullopt;
        }
        sample.add(*time);
    }
    return sample;
}

// HomeVision over real DDE under wine, the relay between it and the broker.
std::optional<LatencySample> throughTheRelay(const test::ThrowawayMosquitto& broker,
                                             const test::WindowsBuild& windows, QString& why) {
    QTemporaryDir folder;
    QProcess homeVision;
    test::endWithParent(homeVision);
    homeVision.setProcessEnvironment(windows.environment());
    homeVision.setStandardOutputFile(folder.filePath(QStringLiteral("times")));
    homeVision.setStandardErrorFile(folder.filePath(QStringLiteral("stderr")));
    homeVision.start(windows.wine(), {windows.benchHomeVisionProgram(), QString::number(Messages)});
    test::RelayProcess relay(windows, broker.url());
    ProgramUnderTest velmor = velmorOn(broker);
    // Velmor opens its links once, at start: HomeVision must be online by then.
    if (!homeVision.waitForStarted() || !relay.start() ||
        !relay.waitForLog(QStringLiteral("connected to the broker")) ||
        !relay.waitForLog(QStringLiteral("HomeVision answered")) || !velmor.start() ||
        !homeVision.waitForFinished(RunLimitMs) || homeVision.exitCode() != 0) {
        QFile error(folder.filePath(QStringLiteral("stderr")));
        why = QStringLiteral("the relay's round trips did not come: ") +
              (error.open(QIODevice::ReadOnly) ? QString::fromUtf8(error.readAll()) : QString()) +
              relay.log();
        return std::nullopt;
    }
    QFile times(folder.filePath(QStringLiteral("times")));
    if (!times.open(QIODevice::ReadOnly))
        return std::nullopt;
    LatencySample sample;
    for (const QByteArray& line : times.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            sample.add(std::chrono::microseconds(line.trimmed().toLongLong()));
    }
    return sample;
}

void roundTrip(benchmark::State& state, const test::ThrowawayMosquitto& broker) {
    const test::WindowsBuild windows = test::WindowsBuild::find();
    if (const QString missing = windows.missing(); !missing.isEmpty()) {
        state.SkipWithError(missing.toUtf8().constData());
        return;
    }
    windows.endSession();
    for (auto _ : state) {
        QString why;
        const auto direct = onTheBroker(broker, why);
        const auto relayed = direct ? throughTheRelay(broker, windows, why) : std::nullopt;
        windows.endSession();
        if (!relayed) {
            state.SkipWithError(why.toUtf8().constData());
            return;
        }
        relayed->publish(state);
        state.counters["broker_p50_us"] = direct->percentileUs(0.50);
        state.counters["broker_p99_us"] = direct->percentileUs(0.99);
    }
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
        "RelayMessageRoundTrip",
        [&broker](benchmark::State& state) { velmor::bench::roundTrip(state, broker); })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
