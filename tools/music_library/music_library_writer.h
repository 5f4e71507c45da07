#pragma once

#include "tools/music_library/music_catalogue.h"

#include <QString>

#include <optional>

namespace velmor::tools {

// Writes every catalogue track as a tagged FLAC file under the folder, with sox and metaflac.
// Tracks are as long as the catalogue says, or all `seconds` long when given. Returns an empty text
// on success, otherwise what went wrong.
[[nodiscard]] QString writeMusicLibrary(const QString& folder, std::optional<double> seconds = std::nullopt);

} // namespace velmor::tools
