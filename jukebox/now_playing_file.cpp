#include "jukebox/now_playing_file.h"

#include "core/error.h"
#include "jukebox/jukebox_window.h"
#include "jukebox/regular_files.h"
#include "jukebox/windows1252.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace velmor {

namespace {

Error writeFailure(const QString& path, const QString& reason) {
    return Error(error_number::PathFileAccess,
                 QStringLiteral("cannot write the now-playing file \"%1\": %2").arg(path, reason));
}

QString openFailureReason(const QSaveFile& file, const QString& path) {
    // QSaveFile names the temporary file it could not create; the missing folder is the real story.
    if (!QFileInfo(path).absoluteDir().exists())
        return QStringLiteral("its folder does not exist");
    return file.errorString();
}

} // namespace

QByteArray nowPlayingFileContent(const TrackInfo& track) {
    const QString lines[] = {
        QStringLiteral(" ' Current Track Info '"),
        QString(),
        track.trackTitle,
        QString(),
        QStringLiteral("Track Time: ") + track.trackTime,
        QStringLiteral("------------------------"),
        QStringLiteral("       Disc Info"),
        QStringLiteral("D:") + track.discTitle,
        QStringLiteral("A:") + track.artist,
        QString(),
    };
    QByteArray content;
    for (const QString& line : lines)
        content += toWindows1252(line) + "\r\n";
    return content;
}

void replaceFileContent(const RegularFiles& files, const QString& path, const QByteArray& content) {
    if (path.isEmpty())
        throw writeFailure(path, QStringLiteral("no path is given"));
    // Only a regular file is ours to replace: renaming over a device, FIFO or socket would put a plain
    // file in the place of something another program made, and writing into one may wait for good.
    if (const std::optional<QString> refusal = files.whyNotARegularFile(path))
        throw writeFailure(path, *refusal);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        // A folder that cannot take a temporary file may still hold a writable file; write it in place.
        // QSaveFile's own fall-back would open the path blocking, whatever stands there by then.
        if (!QFileInfo(path).isFile())
            throw writeFailure(path, openFailureReason(file, path));
        if (const std::optional<QString> failure = files.overwrite(path, content))
            throw writeFailure(path, *failure);
        return;
    }
    // The bytes are flushed here, not left to commit(): commit() does not notice a flush that stops
    // part-way (a full disk, a file size limit) and would put the cut-off file in place of the old one.
    if (file.write(content) != content.size() || !file.flush() || !file.commit())
        throw writeFailure(path, file.errorString());
}

void Write_Now_Playing_File(const JukeboxWindow& window, const RegularFiles& files, const TrackInfo& track) {
    replaceFileContent(files, window.cdInfoText(), nowPlayingFileContent(track));
}

} // namespace velmor
