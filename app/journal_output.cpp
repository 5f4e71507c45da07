#include "app/journal_output.h"

#include "core/journal_line.h"

#include <QtGlobal>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace velmor {

namespace {

void writeToJournal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QByteArray line = journalLine(type, qFormatLogMessage(type, context, message)).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace

void installJournalOutput() {
    struct stat status = {};
    if (::fstat(STDERR_FILENO, &status) != 0)
        return;
    if (isJournalStream(qgetenv("JOURNAL_STREAM"), status.st_dev, status.st_ino))
        qInstallMessageHandler(&writeToJournal);
}

} // namespace velmor
