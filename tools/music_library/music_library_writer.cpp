#include "tools/music_library/music_library_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace velmor::tools {

namespace {

// Runs a tool to its end; why it failed, if it did.
std::optional<QString> runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10'000))
        return QStringLiteral("cannot start %1: %2").arg(program, process.errorString());
    if (!process.waitForFinished(60'000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("%1 did not finish").arg(program);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return QStringLiteral("%1 failed: %2")
            .arg(program, QString::fromLocal8Bit(process.readAll()).trimmed());
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> writeMusicTrack(const QString& path, const CatalogueTrack& track, double seconds,
                                       const QStringList& moreTags) {
    std::optional<QString> failed = runTool(
        QStringLiteral("sox"),
        {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
         QStringLiteral("2"), path, QStringLiteral("synth"), QString::number(seconds), QStringLiteral("sine"),
         QString::number(track.frequency), QStringLiteral("vol"), QStringLiteral("0.2")});
    if (failed)
        return failed;
    // Tags are handed over as UTF-8 whatever the locale says.
    QStringList tags{QStringLiteral("--no-utf8-convert"), QStringLiteral("--remove-all-tags"),
                     QStringLiteral("--set-tag=ARTIST=") + track.artist,
                     QStringLiteral("--set-tag=TITLE=") + track.title,
                     QStringLiteral("--set-tag=GENRE=") + track.genre};
    if (!track.album.isEmpty())
        tags.append(QStringLiteral("--set-tag=ALBUM=") + track.album);
    if (track.trackNumber > 0)
        tags.append(QStringLiteral("--set-tag=TRACKNUMBER=%1").arg(track.trackNumber));
    for (const QString& tag : moreTags)
        tags.append(QStringLiteral("--set-tag=") + tag);
    tags.append(path);
    return runTool(QStringLiteral("metaflac"), tags);
}

std::optional<QString> writeMusicLibrary(const QString& folder, std::optional<double> seconds) {
    const QDir root(folder);
    for (const CatalogueTrack& track : musicCatalogue()) {
        const QString path = root.filePath(track.file);
        if (!QDir().mkpath(QFileInfo(path).path()))
            return QStringLiteral("cannot make the folder of %1").arg(path);
        if (const std::optional<QString> failure =
                writeMusicTrack(path, track, seconds.value_or(track.seconds)))
            return QStringLiteral("%1: %2").arg(track.file, *failure);
    }
    return std::nullopt;
}

} // namespace velmor::tools
