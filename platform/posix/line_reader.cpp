#include "platform/posix/line_reader.h"

#include <cerrno>
#include <unistd.h>

namespace velmor {

LineReader::LineReader(int fd, QObject* parent)
    : QObject(parent)
    , m_fd(fd)
    , m_notifier(fd, QSocketNotifier::Read) {
    connect(&m_notifier, &QSocketNotifier::activated, this, &LineReader::readAvailable);
}

void LineReader::readAvailable() {
    char buffer[4096];
    const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (count <= 0) {
        m_notifier.setEnabled(false);
        if (!m_pending.isEmpty())
            emitLine(std::exchange(m_pending, {}));
        Q_EMIT ended();
        return;
    }
    m_pending.append(buffer, count);
    qsizetype end = 0;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        emitLine(m_pending.left(end));
        m_pending.remove(0, end + 1);
    }
}

void LineReader::emitLine(QByteArray bytes) {
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    Q_EMIT lineRead(QString::fromUtf8(bytes));
}

} // namespace velmor
