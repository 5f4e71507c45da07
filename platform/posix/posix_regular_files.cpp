#include "platform/posix/posix_regular_files.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velmor {

namespace {

QString kindOf(mode_t mode) {
    switch (mode & S_IFMT) {
    case S_IFDIR:
        return QStringLiteral("it is a directory");
    case S_IFIFO:
        return QStringLiteral("it is a FIFO");
    case S_IFSOCK:
        return QStringLiteral("it is a socket");
    case S_IFCHR:
    case S_IFBLK:
        return QStringLiteral("it is a device");
    default:
        return QStringLiteral("it is not a regular file");
    }
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes the descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const { return m_fd; }
    // Closing is where some file systems report a failed write.
    [[nodiscard]] bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

std::optional<QString> writeAll(int fd, const QByteArray& content) {
    qsizetype written = 0;
    while (written < content.size()) {
        const ssize_t n =
            ::write(fd, content.constData() + written, static_cast<size_t>(content.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? systemReason(errno) : QStringLiteral("nothing more could be written");
        written += n;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> PosixRegularFiles::whyNotARegularFile(const QString& path) const {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return std::nullopt;
    return kindOf(status.st_mode);
}

std::optional<QString> PosixRegularFiles::overwrite(const QString& path, const QByteArray& content) const {
    // A FIFO opened for writing waits for a reader, for good if none comes; opened without blocking it
    // fails or returns at once, and is then turned away below.
    FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return systemReason(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return systemReason(errno);
    if (!S_ISREG(status.st_mode))
        return kindOf(status.st_mode);
    if (::ftruncate(file.get(), 0) != 0)
        return systemReason(errno);
    if (std::optional<QString> failure = writeAll(file.get(), content))
        return failure;
    if (!file.close())
        return systemReason(errno);
    return std::nullopt;
}

} // namespace velmor
