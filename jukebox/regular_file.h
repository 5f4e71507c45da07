#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmor {

// Why the thing at the path, followed through symbolic links, is no regular file: "it is a FIFO",
// "it is a socket", ... Nothing when it is a regular file or when there is nothing there.
[[nodiscard]] std::optional<QString> whyNotARegularFile(const QString& path);

// Writes the content over the regular file at the path, in place, without waiting on anything: it is
// opened without blocking and written only once it is known to be a regular file. Returns why it could
// not be written, or an empty text. A file it cannot open keeps its old contents.
[[nodiscard]] QString overwriteRegularFile(const QString& path, const QByteArray& content);

} // namespace velmor
