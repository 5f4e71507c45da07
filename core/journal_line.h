#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace velmor {

// The syslog priority of a message of this type: 3 for errors (critical and fatal), 4 for warnings,
// 6 for information, 7 for debug.
[[nodiscard]] int syslogPriority(QtMsgType type);

// A formatted message as the journal reads it from a service's standard error: every line led by
// "<N>", N its syslog priority, so that each line is filed at the message's priority.
[[nodiscard]] QString journalLine(QtMsgType type, const QString& formatted);

// Whether standard error is the journal's stream: systemd sets JOURNAL_STREAM to "DEVICE:INODE" of
// the stream it connects, and a program whose standard error was redirected elsewhere inherits the
// variable but not the stream.
[[nodiscard]] bool isJournalStream(const QByteArray& journalStream, quint64 device, quint64 inode);

} // namespace velmor
