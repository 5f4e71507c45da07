#include "tests/support/relay_process.h"

#include "tests/support/child_process.h"

#include <QFile>
#include <QTest>

namespace velmor::test {

RelayProcess::RelayProcess(const WindowsBuild& windows, QString brokerUrl)
    : m_wine(windows.wine())
    , m_arguments{windows.relayProgram(), std::move(brokerUrl)} {
    endWithParent(m_process);
    m_process.setProcessEnvironment(windows.environment());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(m_folder.filePath(QStringLiteral("log")));
}

RelayProcess::~RelayProcess() {
    stop();
}

bool RelayProcess::start(const QStringList& options) {
    m_process.start(m_wine, m_arguments + options);
    return m_process.waitForStarted(WaitTimeoutMs);
}

bool RelayProcess::waitForLog(const QString& text, int count) {
    return QTest::qWaitFor([&] { return log().count(text) >= count; }, WaitTimeoutMs);
}

QString RelayProcess::log() const {
    QFile file(m_folder.filePath(QStringLiteral("log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void RelayProcess::stop() {
    stopChild(m_process, WaitTimeoutMs);
}

} // namespace velmor::test
