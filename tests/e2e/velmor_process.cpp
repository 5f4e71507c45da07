#include "tests/e2e/velmor_process.h"

#include "tests/support/private_bus.h"

#include <QFile>

#include <csignal>

namespace velmor::test {

namespace {

QString stderrPath(const QTemporaryDir& folder) {
    return folder.filePath(QStringLiteral("stderr"));
}

} // namespace

VelmorProcess::VelmorProcess(const QProcessEnvironment& environment) {
    endWithParent(m_process);
    m_process.setProgram(QStringLiteral(VELMOR_PROGRAM));
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_folder.path());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(stderrPath(m_outputFolder));
}

VelmorProcess::~VelmorProcess() {
    if (isRunning()) {
        terminate();
        waitForExit();
    }
}

bool VelmorProcess::start() {
    m_process.start();
    return m_process.waitForStarted(WaitTimeoutMs);
}

void VelmorProcess::terminate() {
    m_process.terminate();
}

void VelmorProcess::signal(int number) {
    if (isRunning())
        ::kill(static_cast<pid_t>(m_process.processId()), number);
}

void VelmorProcess::kill() {
    m_process.kill();
}

int VelmorProcess::waitForExit() {
    if (isRunning() && !m_process.waitForFinished(WaitTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(WaitTimeoutMs);
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QString VelmorProcess::nowPlayingFilePath() const {
    return m_folder.filePath(QStringLiteral("h:\\progra~1\\homevi~1\\cdnow.txt"));
}

std::optional<QByteArray> VelmorProcess::nowPlayingFile() const {
    QFile file(nowPlayingFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QString VelmorProcess::standardError() const {
    QFile file(stderrPath(m_outputFolder));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace velmor::test
