// Runs every Velmor benchmark program, reads the figures each writes as JSON and prints one table
// with the targets beside them.
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <optional>
#include <thread>

namespace {

// Each benchmark's entry (its counters among them), keyed by the benchmark's name without its options.
using Figures = std::map<QString, QJsonObject>;

std::optional<Figures> runProgram(const QString& program, const QString& outputPath) {
    std::fprintf(stderr, "running %s\n", qUtf8Printable(program));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, {QStringLiteral("--benchmark_out=") + outputPath,
                            QStringLiteral("--benchmark_out_format=json")});
    // The long run of messages takes minutes on a busy machine.
    if (!process.waitForFinished(30 * 60 * 1000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qUtf8Printable(program));
        return std::nullopt;
    }
    QFile output(outputPath);
    if (!output.open(QIODevice::ReadOnly))
        return std::nullopt;
    Figures figures;
    const QJsonArray benchmarks =
        QJsonDocument::fromJson(output.readAll()).object().value(u"benchmarks").toArray();
    for (const auto& entry : benchmarks) {
        const QJsonObject benchmark = entry.toObject();
        if (benchmark.contains(u"error_occurred") && benchmark.value(u"error_occurred").toBool()) {
            std::fprintf(stderr, "%s: %s\n", qUtf8Printable(benchmark.value(u"name").toString()),
                         qUtf8Printable(benchmark.value(u"error_message").toString()));
            continue;
        }
        figures[benchmark.value(u"run_name").toString().section(QLatin1Char('/'), 0, 0)] = benchmark;
    }
    return figures;
}

double figure(const Figures& figures, const QString& benchmark, const char* counter) {
    const auto found = figures.find(benchmark);
    return found == figures.end() ? 0.0 : found->second.value(QLatin1String(counter)).toDouble();
}

void row(const char* what, const QString& value, const QString& reference, double ratio, double target) {
    const bool known = ratio > 0.0;
    QString verdict;
    if (known && target > 0.0)
        verdict = ratio <= target ? QStringLiteral("met") : QStringLiteral("MISSED");
    std::printf("| %-38s | %-10s | %-31s | %-5s | %-7s | %-6s |\n", what, qUtf8Printable(value),
                qUtf8Printable(reference), known ? qUtf8Printable(QString::number(ratio, 'f', 2)) : "",
                target > 0.0 ? qUtf8Printable(QStringLiteral("<= %1").arg(target)) : "",
                qUtf8Printable(verdict));
}

QString micros(double us) {
    return us >= 10000.0 ? QStringLiteral("%1 ms").arg(us / 1000.0, 0, 'f', 1)
                         : QStringLiteral("%1 us").arg(us, 0, 'f', 1);
}

QString kib(double value) {
    return QStringLiteral("%1 KiB").arg(value, 0, 'f', 0);
}

double ratio(double value, double reference) {
    return reference > 0.0 ? value / reference : 0.0;
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2)
               : QStringLiteral("unknown");
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString loadBefore = loadAverage();
    Figures all;
    int failures = 0;
    for (const QString& program :
         {QStringLiteral(MESSAGES_BENCH), QStringLiteral(MQTT_BENCH), QStringLiteral(RELAY_BENCH),
          QStringLiteral(REPORT_BENCH), QStringLiteral(STARTUP_BENCH), QStringLiteral(NCID_BENCH)}) {
        const QString output =
            folder.filePath(program.section(QLatin1Char('/'), -1) + QStringLiteral(".json"));
        if (const auto figures = runProgram(program, output))
            all.insert(figures->begin(), figures->end());
        else
            ++failures;
    }

    const QString roundTrip = QStringLiteral("MessageRoundTrip");
    const QString mqttRoundTrip = QStringLiteral("MqttMessageRoundTrip");
    const QString memory = QStringLiteral("MemoryUnderMessages");
    const QString report = QStringLiteral("PlayingReport");
    const QString startUp = QStringLiteral("StartUp");

    std::printf("\n%u cores; load average %s before, %s after\n\n", std::thread::hardware_concurrency(),
                qUtf8Printable(loadBefore), qUtf8Printable(loadAverage()));
    std::printf("| %-38s | %-10s | %-31s | %-5s | %-7s | %-6s |\n", "Measure", "Velmor", "Reference", "Ratio",
                "Target", "");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", "----------------------------------------", "------------",
                "---------------------------------", "-------", "---------", "--------");
    const double p50 = figure(all, roundTrip, "p50_us");
    const double p99 = figure(all, roundTrip, "p99_us");
    const double floor50 = figure(all, roundTrip, "floor_p50_us");
    const double floor99 = figure(all, roundTrip, "floor_p99_us");
    row("Message round trip p50 (10,000)", micros(p50), QStringLiteral("bus floor p50 ") + micros(floor50),
        ratio(p50, floor50), 1.5);
    row("Message round trip p99 (10,000)", micros(p99), QStringLiteral("bus floor p99 ") + micros(floor99),
        ratio(p99, floor99), 3.0);
    const double bare50 = figure(all, roundTrip, "bare_client_p50_us");
    const double bare99 = figure(all, roundTrip, "bare_client_p99_us");
    row("Message round trip p50, against Qt", micros(p50),
        QStringLiteral("bare QtDBus client ") + micros(bare50), ratio(p50, bare50), 1.3);
    row("Message round trip p99, against Qt", micros(p99),
        QStringLiteral("bare QtDBus client ") + micros(bare99), ratio(p99, bare99), 0.0);
    const QString backToBack = QStringLiteral("MessageBackToBack");
    const double behind = figure(all, backToBack, "p50_us");
    const double afterPause = figure(all, backToBack, "after_pause_p50_us");
    const double bareBehind = figure(all, backToBack, "bare_behind_p50_us");
    row("Message straight behind another, p50", micros(behind),
        QStringLiteral("bare QtDBus client ") + micros(bareBehind), ratio(behind, bareBehind), 1.3);
    row("The same message, against a pause", micros(behind),
        QStringLiteral("after a 10 ms pause ") + micros(afterPause), ratio(behind, afterPause), 0.0);
    const double bareAfterPause = figure(all, backToBack, "bare_after_pause_p50_us");
    row("Same for the bare QtDBus client, p50", micros(bareBehind),
        QStringLiteral("after a 10 ms pause ") + micros(bareAfterPause), ratio(bareBehind, bareAfterPause),
        0.0);
    const double mqtt50 = figure(all, mqttRoundTrip, "p50_us");
    const double mqtt99 = figure(all, mqttRoundTrip, "p99_us");
    const double mqttFloor50 = figure(all, mqttRoundTrip, "floor_p50_us");
    const double mqttFloor99 = figure(all, mqttRoundTrip, "floor_p99_us");
    row("MQTT message round trip p50 (10,000)", micros(mqtt50),
        QStringLiteral("broker floor p50 ") + micros(mqttFloor50), ratio(mqtt50, mqttFloor50), 2.0);
    row("MQTT message round trip p99 (10,000)", micros(mqtt99),
        QStringLiteral("broker floor p99 ") + micros(mqttFloor99), ratio(mqtt99, mqttFloor99), 0.0);
    const QString relayRoundTrip = QStringLiteral("RelayMessageRoundTrip");
    const double relay50 = figure(all, relayRoundTrip, "p50_us");
    const double relay99 = figure(all, relayRoundTrip, "p99_us");
    const double broker50 = figure(all, relayRoundTrip, "broker_p50_us");
    const double broker99 = figure(all, relayRoundTrip, "broker_p99_us");
    row("Relay message round trip p50 (1,000)", micros(relay50),
        QStringLiteral("HomeVision on broker ") + micros(broker50), ratio(relay50, broker50), 0.0);
    row("Relay message round trip p99 (1,000)", micros(relay99),
        QStringLiteral("HomeVision on broker ") + micros(broker99), ratio(relay99, broker99), 0.0);
    row("\"playing\" report p50", micros(figure(all, report, "p50_us")), QString(), 0.0, 0.0);
    row("\"playing\" report p99", micros(figure(all, report, "p99_us")), QString(), 0.0, 0.0);
    const double started = figure(all, startUp, "p50_us");
    const double bare = figure(all, startUp, "bare_p50_us");
    const double labelled = figure(all, startUp, "labelled_p50_us");
    row("Start-up to window shown (p50, 20)", micros(started),
        QStringLiteral("labelled Qt window ") + micros(labelled), ratio(started, labelled), 1.2);
    row("Start-up, against an empty window", micros(started),
        QStringLiteral("bare Qt window ") + micros(bare), ratio(started, bare), 0.0);
    const double rssShown = figure(all, startUp, "rss_kib");
    const double rssLabelled = figure(all, startUp, "labelled_rss_kib");
    row("Resident size after start", kib(rssShown), QStringLiteral("labelled Qt window ") + kib(rssLabelled),
        ratio(rssShown, rssLabelled), 1.2);
    const double rssStart = figure(all, memory, "rss_start_kib");
    const double rss1k = figure(all, memory, "rss_1k_kib");
    const double rssEnd = figure(all, memory, "rss_end_kib");
    row("Resident size before messages", kib(rssStart), QString(), 0.0, 0.0);
    row("Resident size after 1,000 messages", kib(rss1k), QString(), 0.0, 0.0);
    row("Resident size after 100,000 messages", kib(rssEnd), QString(), 0.0, 0.0);
    const double growth = rssEnd - rss1k;
    std::printf("| %-38s | %-10s | %-31s | %-5s | %-7s | %-6s |\n", "Growth after the first 1,000",
                qUtf8Printable(kib(growth)), "", "", "< 1024",
                rss1k > 0.0 ? (growth < 1024.0 ? "met" : "MISSED") : "");
    const QString flood = QStringLiteral("CallFlood");
    row("Calls handled/s, 100,000-call flood",
        QStringLiteral("%1 /s").arg(figure(all, flood, "calls_per_s"), 0, 'f', 0), QString(), 0.0, 0.0);
    const double gap = figure(all, flood, "longest_gap_us");
    const double idleGap = figure(all, flood, "idle_longest_gap_us");
    row("Longest gap of a 10 ms timer, flood", micros(gap),
        QStringLiteral("idle 10 ms timer ") + micros(idleGap), ratio(gap, idleGap), 0.0);
    const double floodBefore = figure(all, flood, "rss_before_kib");
    row("Resident growth kept after the flood", kib(figure(all, flood, "rss_after_kib") - floodBefore),
        QStringLiteral("at most during it ") + kib(figure(all, flood, "rss_most_kib") - floodBefore), 0.0,
        0.0);
    return failures == 0 ? 0 : 1;
}
