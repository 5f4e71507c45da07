// The whole report handler over a run of reports: what it shows, sends, parks, keeps and writes.
//
// The first byte picks the setting: bit 0 writes the now-playing file into a scratch folder (else the
// path is empty and every write fails at once), bit 1 turns track info off. Each NUL-separated piece
// after it is one report.
#include "core/error.h"
#include "fuzz/fuzz_support.h"
#include "jukebox/now_playing_file.h"
#include "jukebox/report_cutter.h"
#include "jukebox/report_handler.h"
#include "platform/posix/posix_regular_files.h"
#include "tests/support/call_log.h"
#include "tests/support/fake_homevision_commands.h"
#include "tests/support/fake_window.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace {

using velmor::fuzz::require;

// The commands sent from the given entry of the log on.
QStringList commandsFrom(const velmor::test::CallLog& log, std::size_t from) {
    static const std::string Prefix = "Send_DDE_Command ";
    QStringList commands;
    for (std::size_t i = from; i < log.entries().size(); ++i)
        commands.append(QString::fromStdString(log.entries()[i].substr(Prefix.size())));
    return commands;
}

bool isHexPair(QStringView s) {
    if (s.size() != 2)
        return false;
    for (const QChar c : s) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
            return false;
    }
    return true;
}

qsizetype playerCommands(const QString& message) {
    return qsizetype{message.startsWith(QLatin1String("using_player[mp3]"))} +
           qsizetype{message.startsWith(QLatin1String("echo[using_player"))} +
           qsizetype{message.startsWith(QLatin1String("using_player"))};
}

const QString& scratchFile() {
    static const QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("cdnow.txt"));
    return path;
}

QByteArray fileContent(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void handleOne(velmor::ReportHandler& handler, velmor::test::FakeWindow& window,
               const velmor::test::CallLog& homeVision, velmor::PendingCommands& pending, QString& artist,
               const QString& message) {
    const velmor::PendingCommands pendingBefore = pending;
    const QString artistBefore = artist;
    const std::size_t sentBefore = homeVision.entries().size();
    const QString source = QStringLiteral("cdj");

    bool raised = false;
    try {
        handler.Slinkx_SlinkReceived(source, message);
    } catch (const velmor::Error&) {
        raised = true;
    }
    require(window.label1 == source + QLatin1Char(':') + message, "every report is shown", message);
    const QStringList sent = commandsFrom(homeVision, sentBefore);

    if (!velmor::isPlayingReport(message)) {
        require(!raised, "only a playing report raises", message);
        require(sent.size() == playerCommands(message), "one command per matching player prefix", message);
        require(pending == pendingBefore && artist == artistBefore, "other reports park and keep nothing",
                message);
        return;
    }

    const velmor::ReportCut cut = velmor::cutPlayingReport(message);
    require(artist == (cut.artist ? *cut.artist : artistBefore), "the artist is kept as soon as it is cut",
            message);
    const bool written = cut.track && !window.cdInfo.isEmpty();
    require(raised == !written, "a report raises exactly when it is not cut or not written", message);
    if (raised) {
        require(sent.isEmpty() && pending == pendingBefore, "a failed report sends and parks nothing",
                message);
        return;
    }

    require(fileContent(window.cdInfo) == velmor::nowPlayingFileContent(*cut.track),
            "the file holds the track", message);
    require(sent.size() == 1, "a playing report sends one command", message);
    const QString& time = sent.front();
    require(time.size() == 14 && time.startsWith(QLatin1String(",=120000")) &&
                time.endsWith(QLatin1String("00")),
            "the time command has its frame", message);
    const QString seconds = time.mid(8, 2);
    const QString minutes = time.mid(10, 2);
    require(isHexPair(seconds) && isHexPair(minutes), "minutes and seconds are hexadecimal pairs", message);
    require(pending[1] == QLatin1String(",?1F00") + minutes &&
                pending[2] == QLatin1String(",?2000") + seconds,
            "minutes and seconds are parked", message);
    require(pending[3] == (window.check1 == 1 ? QStringLiteral(",O1900") : pendingBefore[3]),
            "the television command is parked only with track info on", message);
    for (std::size_t i = 4; i < pending.size(); ++i)
        require(pending[i] == pendingBefore[i], "no other entry is touched", message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    velmor::test::FakeWindow window;
    window.cdInfo = (data[0] & 1) ? scratchFile() : QString();
    window.check1 = (data[0] & 2) ? 0 : 1;
    velmor::test::CallLog homeVision;
    velmor::test::FakeHomeVisionCommands commands(homeVision);
    velmor::PendingCommands pending;
    QString artist;
    const velmor::PosixRegularFiles files;
    velmor::ReportHandler handler(window, files, commands, pending, artist);

    for (const QByteArrayView event : velmor::fuzz::eventsOf(velmor::fuzz::bytesOf(data + 1, size - 1)))
        handleOne(handler, window, homeVision, pending, artist, velmor::fuzz::textOf(event));
    return 0;
}
