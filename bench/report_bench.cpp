// A "playing" report handled in-process, from the report to the now-playing file written (a real file
// in a temporary folder) and the time command handed to HomeVision.
#include "bench/latency_sample.h"
#include "core/homevision_commands.h"
#include "jukebox/jukebox_window.h"
#include "jukebox/report_handler.h"
#include "platform/posix/posix_regular_files.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace velmor::bench {

namespace {

class BenchWindow : public JukeboxWindow {
public:
    explicit BenchWindow(QString nowPlayingPath)
        : m_path(std::move(nowPlayingPath)) {}

    void setLabel1Caption(const QString& caption) override { m_caption = caption; }
    [[nodiscard]] qint16 check1Value() const override { return 1; }
    [[nodiscard]] QString cdInfoText() const override { return m_path; }

private:
    QString m_path;
    QString m_caption;
};

// Keeps the last command, so that the benchmark can tell the time command did arrive.
class RecordingCommands : public HomeVisionCommands {
public:
    qint16 Send_DDE_Command(const QString& command) override {
        m_last = command;
        ++m_count;
        return 0;
    }
    [[nodiscard]] qint64 count() const { return m_count; }

private:
    QString m_last;
    qint64 m_count = 0;
};

void playingReport(benchmark::State& state) {
    QTemporaryDir folder;
    BenchWindow window(folder.filePath(QStringLiteral("cdnow.txt")));
    RecordingCommands homeVision;
    PendingCommands pending;
    QString currentArtist;
    const PosixRegularFiles files;
    ReportHandler handler(window, files, homeVision, pending, currentArtist);

    LatencySample sample;
    sample.reserve(static_cast<std::size_t>(state.max_iterations));
    qint64 n = 0;
    for (auto _ : state) {
        const QString report =
            QStringLiteral("playing[\"Disc %1\",\"Artist %1\",\"Track %1\",\"0%2:1%2\"]").arg(n).arg(n % 10);
        ++n;
        const auto started = std::chrono::steady_clock::now();
        handler.Slinkx_SlinkReceived(QStringLiteral("cdj"), report);
        const auto done = std::chrono::steady_clock::now();
        sample.add(done - started);
        state.SetIterationTime(std::chrono::duration<double>(done - started).count());
    }
    if (homeVision.count() != n)
        state.SkipWithError("a report sent no time command");
    sample.publish(state);
}

} // namespace

} // namespace velmor::bench

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("PlayingReport", &velmor::bench::playingReport)
        ->Iterations(10000)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
