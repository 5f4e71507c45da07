#include "core/journal_line.h"

namespace velmor {

int syslogPriority(QtMsgType type) {
    switch (type) {
    case QtDebugMsg:
        return 7;
    case QtInfoMsg:
        return 6;
    case QtWarningMsg:
        return 4;
    case QtCriticalMsg:
    case QtFatalMsg:
        break;
    }
    return 3;
}

QString journalLine(QtMsgType type, const QString& formatted) {
    const QString prefix = QStringLiteral("<%1>").arg(syslogPriority(type));
    QString line = prefix + formatted;
    // The journal takes each line for an entry of its own; a continuation line must not fall to the
    // stream's default priority.
    line.replace(QLatin1Char('\n'), QLatin1Char('\n') + prefix);
    return line;
}

bool isJournalStream(const QByteArray& journalStream, quint64 device, quint64 inode) {
    const qsizetype colon = journalStream.indexOf(':');
    if (colon <= 0)
        return false;
    bool deviceOk = false;
    bool inodeOk = false;
    const quint64 streamDevice = journalStream.left(colon).toULongLong(&deviceOk);
    const quint64 streamInode = journalStream.mid(colon + 1).toULongLong(&inodeOk);
    return deviceOk && inodeOk && streamDevice == device && streamInode == inode;
}

} // namespace velmor
