#include "tests/support/homevision_process.h"

#include "tests/support/private_bus.h"
#include "tests/support/windows_build.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace velmor::test {

std::ostream& operator<<(std::ostream& out, const TranscriptEntry& entry) {
    out << entry.direction << ' ' << entry.call;
    if (!entry.item.empty())
        out << ' ' << entry.item;
    if (!entry.value.empty())
        out << " = \"" << (entry.value.size() > 60 ? entry.value.substr(0, 60) + "..." : entry.value) << '"';
    return out;
}

HomeVisionProcess::HomeVisionProcess(QString program, const PrivateBus& bus)
    : HomeVisionProcess(std::move(program), QString()) {
    m_bus = &bus;
    m_process.setProcessEnvironment(bus.environment());
}

HomeVisionProcess::HomeVisionProcess(QString program, QString mqttBroker)
    : m_program(std::move(program))
    , m_mqttBroker(std::move(mqttBroker)) {
    endWithParent(m_process);
    m_process.setStandardOutputFile(m_outputDir.filePath(QStringLiteral("transcript")));
    m_process.setStandardErrorFile(m_outputDir.filePath(QStringLiteral("stderr")));
    m_output.setFileName(m_outputDir.filePath(QStringLiteral("transcript")));
}

HomeVisionProcess::HomeVisionProcess(const WindowsBuild& windows)
    : HomeVisionProcess(windows.wine(), QString()) {
    m_programArguments = {windows.homeVisionProgram()};
    m_process.setProcessEnvironment(windows.environment());
}

HomeVisionProcess::~HomeVisionProcess() {
    if (m_process.state() != QProcess::NotRunning)
        stop();
}

bool HomeVisionProcess::start(const QStringList& options, const QString& service) {
    const QStringList carrier =
        m_mqttBroker.isEmpty() ? QStringList() : QStringList{QStringLiteral("--mqtt"), m_mqttBroker};
    m_process.start(m_program,
                    m_programArguments + QStringList{QStringLiteral("--transcript")} + carrier + options);
    if (!m_process.waitForStarted(WaitTimeoutMs))
        return false;
    // It takes its name (or says it serves) last, once it can answer.
    const auto serves = [&] {
        return m_bus ? m_bus->owner(service) == m_process.processId()
                     : standardError().contains(QStringLiteral("velmor-homevision: serving"));
    };
    return QTest::qWaitFor([&] { return serves() || m_process.state() == QProcess::NotRunning; },
                           WaitTimeoutMs) &&
           m_process.state() == QProcess::Running;
}

void HomeVisionProcess::writeLine(const QString& line) {
    m_process.write(line.toUtf8() + '\n');
}

void HomeVisionProcess::closeInput() {
    m_process.closeWriteChannel();
}

const Transcript& HomeVisionProcess::transcript() {
    readTranscript();
    return m_transcript;
}

bool HomeVisionProcess::waitFor(const std::function<bool(const Transcript&)>& condition) {
    return QTest::qWaitFor([&] { return condition(transcript()); }, WaitTimeoutMs);
}

std::vector<std::string> HomeVisionProcess::pokes(const std::string& item) {
    std::vector<std::string> values;
    for (const TranscriptEntry& entry : transcript()) {
        if (entry.direction == "received" && entry.call == "Poke" && entry.item == item)
            values.push_back(entry.value);
    }
    return values;
}

std::vector<std::string> HomeVisionProcess::waitForPokes(const std::string& item, std::size_t count) {
    // The caller compares what came; a shortfall shows there.
    static_cast<void>(QTest::qWaitFor([&] { return pokes(item).size() >= count; }, WaitTimeoutMs));
    return pokes(item);
}

int HomeVisionProcess::stop() {
    if (m_process.state() != QProcess::NotRunning)
        m_process.terminate();
    return waitForExit();
}

int HomeVisionProcess::waitForExit() {
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(WaitTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(WaitTimeoutMs);
        return -1;
    }
    readTranscript();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QString HomeVisionProcess::standardError() {
    QFile file(m_outputDir.filePath(QStringLiteral("stderr")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void HomeVisionProcess::readTranscript() {
    if (!m_output.isOpen() && !m_output.open(QIODevice::ReadOnly))
        return;
    m_partialLine += m_output.readAll();
    qsizetype end = 0;
    while ((end = m_partialLine.indexOf('\n')) >= 0) {
        const QJsonObject line = QJsonDocument::fromJson(m_partialLine.left(end)).object();
        m_partialLine.remove(0, end + 1);
        m_transcript.push_back({line.value(QStringLiteral("direction")).toString().toStdString(),
                                line.value(QStringLiteral("call")).toString().toStdString(),
                                line.value(QStringLiteral("item")).toString().toStdString(),
                                line.value(QStringLiteral("value")).toString().toStdString()});
    }
}

} // namespace velmor::test
