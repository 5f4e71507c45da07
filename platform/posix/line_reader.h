#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

namespace velmor {

// Reads text lines (UTF-8, LF or CR LF) from a file descriptor as they arrive, from the event loop.
class LineReader : public QObject {
    Q_OBJECT
public:
    explicit LineReader(int fd, QObject* parent = nullptr);

Q_SIGNALS:
    void lineRead(const QString& line);
    // End of input; a last line without a line end was handed out before.
    void ended();

private:
    void readAvailable();
    void emitLine(QByteArray bytes);

    int m_fd;
    QSocketNotifier m_notifier;
    QByteArray m_pending;
};

} // namespace velmor
