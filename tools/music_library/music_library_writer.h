#pragma once

#include "tools/music_library/music_catalogue.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace velmor::tools {

// Writes every catalogue track as a tagged FLAC file under the folder, with sox and metaflac.
// Tracks are as long as the catalogue says, or all `seconds` long when given. What went wrong, if
// anything did.
[[nodiscard]] std::optional<QString> writeMusicLibrary(const QString& folder,
                                                       std::optional<double> seconds = std::nullopt);

// Writes one track, `seconds` long, as a tagged FLAC file at the path, with further tags
// ("COMMENT=...") as given. What went wrong, if anything did.
[[nodiscard]] std::optional<QString> writeMusicTrack(const QString& path, const CatalogueTrack& track,
                                                     double seconds, const QStringList& moreTags = {});

} // namespace velmor::tools
