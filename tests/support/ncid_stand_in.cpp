#include "tests/support/ncid_stand_in.h"

#include <QTest>

namespace velmor::test {

namespace {

constexpr int WaitMs = 10000;

} // namespace

NcidStandIn::NcidStandIn(quint16 port) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process, [this] { readOutput(); });
    m_process.start(QStringLiteral(VELMOR_NCID_SERVER), {QStringLiteral("--port"), QString::number(port)});
    if (!m_process.waitForStarted(WaitMs))
        return;
    const auto listening = waitForOutput(QStringLiteral("listening on port "));
    if (listening)
        m_port = static_cast<quint16>(listening->section(QLatin1Char(' '), 3, 3).toUInt());
}

NcidStandIn::~NcidStandIn() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    if (!stop()) {
        m_process.kill();
        m_process.waitForFinished(WaitMs);
    }
}

void NcidStandIn::announce(const QString& input) {
    m_process.write(input.toUtf8() + '\n');
}

void NcidStandIn::readOutput() {
    m_pending += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        m_output.append(QString::fromUtf8(m_pending.first(end)));
        m_pending.remove(0, end + 1);
    }
}

bool NcidStandIn::printed(const QString& prefix) const {
    for (const QString& line : m_output) {
        if (line.startsWith(prefix))
            return true;
    }
    return false;
}

std::optional<QString> NcidStandIn::waitForOutput(const QString& prefix) {
    std::optional<QString> found;
    // The search itself says whether it found the line; a server that ended cuts the wait short.
    static_cast<void>(QTest::qWaitFor(
        [&] {
            for (const QString& line : m_output) {
                if (line.startsWith(prefix)) {
                    found = line;
                    return true;
                }
            }
            return m_process.state() == QProcess::NotRunning;
        },
        WaitMs));
    if (!found)
        qWarning("the NCID stand-in did not print \"%s...\"; it printed:\n%s", qUtf8Printable(prefix),
                 qUtf8Printable(m_output.join(QLatin1Char('\n'))));
    return found;
}

bool NcidStandIn::stop() {
    m_process.closeWriteChannel();
    return QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; }, WaitMs) &&
           m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

void NcidStandIn::kill() {
    m_process.kill();
    m_process.waitForFinished(WaitMs);
}

} // namespace velmor::test
