// The caller-ID control under a flood: the NCID stand-in sends 100,000 calls at once over loopback to
// a real NcidTelephonyControl in this process. Measured: calls handled per second, the longest gap
// between ticks of a 10 ms timer on the same event loop (how long a window would go without
// answering), the same gap with nothing going on, and this process's resident size around the flood.
#include "platform/ncid/ncid_telephony_control.h"
#include "tests/support/child_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace velmor::bench {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int WaitMs = 10000;
constexpr auto TickEvery = 10ms;
constexpr auto IdleFor = 1s;

qint64 residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// The stand-in NCID server as a child process, fed through its standard input.
class NcidServer {
public:
    NcidServer() {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        test::endWithParent(m_process);
        m_process.start(QStringLiteral(NCID_SERVER_PROGRAM), {QStringLiteral("--port"), QStringLiteral("0")});
    }
    ~NcidServer() { test::stopChild(m_process, WaitMs); }
    NcidServer(const NcidServer&) = delete;
    NcidServer& operator=(const NcidServer&) = delete;

    // The port it listens on, once it says so.
    std::optional<quint16> port() {
        QByteArray said;
        while (m_process.waitForReadyRead(WaitMs)) {
            said += m_process.readAllStandardOutput();
            const qsizetype at = said.indexOf("listening on port ");
            const qsizetype end = said.indexOf('\n', at);
            if (at >= 0 && end > at)
                return static_cast<quint16>(said.mid(at + 18, end - at - 18).toUInt());
        }
        return std::nullopt;
    }

    void flood(qint64 calls) { m_process.write("!flood " + QByteArray::number(calls) + '\n'); }

private:
    QProcess m_process;
};

// Runs the event loop for a while, or until `done` says so, with a 10 ms timer ticking on it;
// returns the longest gap between two ticks (or from the start to the first).
template <typename Done>
Clock::duration longestGap(std::chrono::milliseconds atMost, Done done, qint64* mostResidentKiB = nullptr) {
    QEventLoop loop;
    QTimer ticks;
    Clock::time_point last = Clock::now();
    Clock::duration longest{};
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        const auto now = Clock::now();
        longest = std::max(longest, now - last);
        last = now;
        if (mostResidentKiB)
            *mostResidentKiB = std::max(*mostResidentKiB, residentKiB());
        if (done())
            loop.quit();
    });
    QTimer::singleShot(atMost, &loop, &QEventLoop::quit);
    ticks.start(TickEvery);
    loop.exec();
    return longest;
}

void flood(benchmark::State& state) {
    const qint64 calls = state.range(0);
    NcidServer server;
    const auto port = server.port();
    if (!port) {
        state.SkipWithError("the NCID stand-in did not start");
        return;
    }
    NcidTelephonyControl control({QStringLiteral("127.0.0.1"), *port});
    qint64 handled = 0;
    Clock::time_point first;
    Clock::time_point last;
    QObject::connect(&control, &TelephonyControl::CallSoftCallEvent, &control, [&] {
        last = Clock::now();
        if (handled++ == 0)
            first = last;
    });
    QEventLoop ready;
    QObject::connect(&control, &NcidTelephonyControl::serverReady, &ready, &QEventLoop::quit);
    QTimer::singleShot(WaitMs, &ready, &QEventLoop::quit);
    control.setCallSoftEnable(-1);
    ready.exec();

    for (auto _ : state) {
        const auto idleGap = longestGap(IdleFor, [] { return false; });
        const qint64 residentBefore = residentKiB();
        qint64 residentMost = residentBefore;
        server.flood(calls);
        const auto floodGap = longestGap(
            300s, [&] { return handled >= calls; }, &residentMost);
        // Once caught up, what the flood took should go back.
        static_cast<void>(longestGap(IdleFor, [] { return false; }));
        const qint64 residentAfter = residentKiB();
        if (handled != calls) {
            state.SkipWithError("not every call of the flood arrived");
            return;
        }
        const double seconds = std::chrono::duration<double>(last - first).count();
        state.SetIterationTime(seconds);
        state.counters["calls"] = static_cast<double>(calls);
        state.counters["calls_per_s"] = seconds > 0 ? static_cast<double>(calls) / seconds : 0.0;
        state.counters["longest_gap_us"] = std::chrono::duration<double, std::micro>(floodGap).count();
        state.counters["idle_longest_gap_us"] = std::chrono::duration<double, std::micro>(idleGap).count();
        state.counters["rss_before_kib"] = static_cast<double>(residentBefore);
        state.counters["rss_most_kib"] = static_cast<double>(residentMost);
        state.counters["rss_after_kib"] = static_cast<double>(residentAfter);
    }
}

} // namespace

} // namespace velmor::bench

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("CallFlood", &velmor::bench::flood)
        ->Arg(100000)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
