#pragma once

#include "jukebox/regular_files.h"

namespace velmor {

// The regular files of a POSIX system, looked at with stat() and written through a descriptor opened
// without blocking.
class PosixRegularFiles : public RegularFiles {
public:
    [[nodiscard]] std::optional<QString> whyNotARegularFile(const QString& path) const override;
    [[nodiscard]] std::optional<QString> overwrite(const QString& path,
                                                   const QByteArray& content) const override;
};

} // namespace velmor
