#pragma once

#include "jukebox/track_info.h"

#include <QByteArray>
#include <QString>

namespace velmor {

class JukeboxWindow;
class RegularFiles;

// The ten lines of the now-playing file, each ending CR LF, one Windows-1252 byte per character.
[[nodiscard]] QByteArray nowPlayingFileContent(const TrackInfo& track);

// Replaces the file at the path with the content, so a reader sees the old file or the new one, never
// half of one. Raises velmor::Error naming the path and the reason when it cannot; the old file is
// then left as it was.
void replaceFileContent(const RegularFiles& files, const QString& path, const QByteArray& content);

// Writes the track to the file named in CDInfo, read afresh each time and used as it stands.
void Write_Now_Playing_File(const JukeboxWindow& window, const RegularFiles& files, const TrackInfo& track);

} // namespace velmor
