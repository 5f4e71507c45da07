#include "bench/virtual_display.h"

#include "tests/support/private_bus.h"

namespace velmor::bench {

namespace {

constexpr int StartTimeoutMs = 10000;

} // namespace

VirtualDisplay::VirtualDisplay() {
    test::endWithParent(m_server);
    m_server.setStandardErrorFile(QProcess::nullDevice());
    // Xvfb picks a free display number and writes it to standard output once it accepts clients.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp")});
    if (!m_server.waitForStarted(StartTimeoutMs)) {
        m_error = QStringLiteral("Xvfb did not start: ") + m_server.errorString();
        return;
    }
    while (!m_server.canReadLine()) {
        if (!m_server.waitForReadyRead(StartTimeoutMs)) {
            m_error = QStringLiteral("Xvfb named no display");
            return;
        }
    }
    m_name = QLatin1Char(':') + QString::fromLatin1(m_server.readLine()).trimmed();
}

VirtualDisplay::~VirtualDisplay() {
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(StartTimeoutMs)) {
        m_server.kill();
        m_server.waitForFinished(StartTimeoutMs);
    }
}

} // namespace velmor::bench
