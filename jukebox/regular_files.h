#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmor {

// What writing the now-playing file needs of the file system beyond Qt's files: what stands at a path,
// and a write in place that never waits on what it finds there.
class RegularFiles {
public:
    virtual ~RegularFiles() = default;

    // Why the thing at the path, followed through symbolic links, is no regular file: "it is a FIFO",
    // "it is a socket", ... Nothing when it is a regular file or when there is nothing there.
    [[nodiscard]] virtual std::optional<QString> whyNotARegularFile(const QString& path) const = 0;
    // Writes the content over the regular file at the path, in place, without waiting on anything: it is
    // opened without blocking and written only once it is known to be a regular file. Why it could not
    // be written, nothing when it was. A file it cannot open keeps its old contents.
    [[nodiscard]] virtual std::optional<QString> overwrite(const QString& path,
                                                           const QByteArray& content) const = 0;
};

} // namespace velmor
