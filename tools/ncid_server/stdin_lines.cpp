#include "tools/ncid_server/stdin_lines.h"

#include <cerrno>
#include <unistd.h>

namespace velmor::ncidserver {

StdinLines::StdinLines(QObject* parent)
    : QObject(parent)
    , m_notifier(STDIN_FILENO, QSocketNotifier::Read) {
    connect(&m_notifier, &QSocketNotifier::activated, this, &StdinLines::readAvailable);
}

void StdinLines::readAvailable() {
    char buffer[4096];
    // The notifier said there is something: one read does not block.
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        m_notifier.setEnabled(false);
        if (!m_pending.isEmpty())
            Q_EMIT lineRead(QString::fromUtf8(m_pending));
        m_pending.clear();
        Q_EMIT endOfInput();
        return;
    }
    m_pending.append(buffer, got);
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        QByteArray line = m_pending.first(end);
        m_pending.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        Q_EMIT lineRead(QString::fromUtf8(line));
    }
}

} // namespace velmor::ncidserver
