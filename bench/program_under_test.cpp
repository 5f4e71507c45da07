#include "bench/program_under_test.h"

#include "tests/support/child_process.h"

#include <QFile>

namespace velmor::bench {

ProgramUnderTest::ProgramUnderTest(QString program, QProcessEnvironment environment, QStringList arguments)
    : m_program(std::move(program))
    , m_arguments(std::move(arguments)) {
    // No MPD listens in the working folder and nothing on the discard port takes caller-ID links.
    environment.insert(QStringLiteral("MPD_HOST"), m_folder.filePath(QStringLiteral("no-mpd.socket")));
    environment.insert(QStringLiteral("NCID_HOST"), QStringLiteral("127.0.0.1"));
    environment.insert(QStringLiteral("NCID_PORT"), QStringLiteral("9"));
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_folder.path());
    // A file, not a pipe: a child blocked writing into a full pipe would stall the measurement.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(m_folder.filePath(QStringLiteral("stderr.txt")));
    velmor::test::endWithParent(m_process);
}

ProgramUnderTest::~ProgramUnderTest() {
    stop();
}

bool ProgramUnderTest::start() {
    m_process.start(m_program, m_arguments);
    return m_process.waitForStarted(WaitTimeoutMs);
}

void ProgramUnderTest::stop() {
    velmor::test::stopChild(m_process, WaitTimeoutMs);
}

qint64 ProgramUnderTest::residentKiB() const {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid()));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

QString ProgramUnderTest::errorOutput() const {
    QFile file(m_folder.filePath(QStringLiteral("stderr.txt")));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

QString velmorProgram() {
    const QString chosen = qEnvironmentVariable("VELMOR_BENCH_PROGRAM");
    return chosen.isEmpty() ? QStringLiteral(VELMOR_PROGRAM) : chosen;
}

QProcessEnvironment measuredEnvironment(const QString& busAddress, const QString& platform) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    return environment;
}

} // namespace velmor::bench
