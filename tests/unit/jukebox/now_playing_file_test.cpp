#include "core/error.h"
#include "jukebox/now_playing_file.h"
#include "jukebox/windows1252.h"
#include "platform/posix/posix_regular_files.h"
#include "tests/support/error_of.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gmock/gmock.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace velmor::test {
namespace {

using ::testing::HasSubstr;

const PosixRegularFiles files;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(NowPlayingContentTest, WorkedExampleByteForByte) {
    const QByteArray content =
        nowPlayingFileContent(TrackInfo{QStringLiteral("Harbour Lights"), QStringLiteral("The Quiet Pines"),
                                        QStringLiteral("Morning Tide <Live>"), QStringLiteral("12:45")});
    EXPECT_EQ(content, QByteArray(" ' Current Track Info '\r\n"
                                  "\r\n"
                                  "Morning Tide <Live>\r\n"
                                  "\r\n"
                                  "Track Time: 12:45\r\n"
                                  "------------------------\r\n"
                                  "       Disc Info\r\n"
                                  "D:Harbour Lights\r\n"
                                  "A:The Quiet Pines\r\n"
                                  "\r\n"));
    EXPECT_EQ(content.size(), 152);
}

TEST(NowPlayingContentTest, EmptyFieldsGiveTheBare99Bytes) {
    const QByteArray content = nowPlayingFileContent(TrackInfo{});
    EXPECT_EQ(content.size(), 99);
    EXPECT_TRUE(content.contains("\r\nTrack Time: \r\n"));
    EXPECT_TRUE(content.endsWith("\r\nD:\r\nA:\r\n\r\n"));
}

struct Encoding {
    const char* text;
    QByteArray bytes;
};

class Windows1252Test : public ::testing::TestWithParam<Encoding> {};

TEST_P(Windows1252Test, OneBytePerCharacterOrAQuestionMark) {
    EXPECT_EQ(toWindows1252(QString::fromUtf8(GetParam().text)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Characters, Windows1252Test,
                         ::testing::Values(Encoding{"Plain ASCII ~\"<>", "Plain ASCII ~\"<>"},
                                           Encoding{"Café ÿ ×", "Caf\xe9 \xff \xd7"},
                                           Encoding{"€ ‚ Ÿ – — ™ Ž", "\x80 \x82 \x9f \x96 \x97 \x99 \x8e"},
                                           Encoding{"Dvořák", "Dvo?\xe1k"}, Encoding{"日本", "??"},
                                           Encoding{"a😀b", "a?b"}, Encoding{"\xc2\x81\xc2\x80", "\x81?"}));

TEST(Windows1252Test, LoneSurrogatesBecomeOneQuestionMarkEach) {
    const QChar text[] = {QChar(0xD83D), QLatin1Char('x'), QChar(0xDE00)};
    EXPECT_EQ(toWindows1252(QStringView(text, 3)), QByteArray("?x?"));
}

class FileWriteTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("cdnow.txt"));
};

TEST_F(FileWriteTest, ReplacesTheWholeFile) {
    replaceFileContent(files, path, QByteArray("a much longer first content\r\n"));
    replaceFileContent(files, path, QByteArray("second\r\n"));
    EXPECT_EQ(readAll(path), QByteArray("second\r\n"));
}

TEST_F(FileWriteTest, PathIsUsedAsItStands) {
    const QString odd = dir.filePath(QStringLiteral(" h:\\progra~1\\cd now.txt "));
    replaceFileContent(files, odd, QByteArray("x"));
    EXPECT_EQ(readAll(odd), QByteArray("x"));
}

struct BadPath {
    const char* name;
    QString path;
    const char* reason;
};

TEST_F(FileWriteTest, FailuresNameThePathAndTheReasonAndKeepTheOldFile) {
    replaceFileContent(files, path, QByteArray("old"));
    const BadPath bad[] = {
        {"empty", QString(), "no path is given"},
        {"missing folder", dir.filePath(QStringLiteral("missing/cdnow.txt")), "folder does not exist"},
        {"a folder", dir.path(), "directory"},
        {"under a file", path + QStringLiteral("/cdnow.txt"), ""},
    };
    for (const BadPath& b : bad) {
        const std::optional<Error> e = errorOf([&] { replaceFileContent(files, b.path, QByteArray("new")); });
        ASSERT_TRUE(e) << b.name;
        EXPECT_EQ(e->number(), error_number::PathFileAccess) << b.name;
        EXPECT_TRUE(e->description().contains(QLatin1Char('"') + b.path + QLatin1Char('"'))) << b.name;
        EXPECT_TRUE(e->description().contains(QLatin1String(b.reason), Qt::CaseInsensitive))
            << b.name << ": " << e->description().toStdString();
    }
    EXPECT_EQ(readAll(path), QByteArray("old"));
}

TEST_F(FileWriteTest, ReadOnlyFileInAReadOnlyFolderIsKept) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    replaceFileContent(files, path, QByteArray("old"));
    QFile::setPermissions(path, QFile::ReadOwner);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);

    EXPECT_THROW(replaceFileContent(files, path, QByteArray("new")), Error);

    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(path), QByteArray("old"));
}

TEST_F(FileWriteTest, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    replaceFileContent(files, path, QByteArray("old"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);

    replaceFileContent(files, path, QByteArray("new"));

    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(path), QByteArray("new"));
}

// What stands at the path before the write. Links are relative, so they hold wherever the folder is.
enum class Node { Fifo, Socket, LinkToFifo, LinkToSocket, LinkToFile };

struct NodeCase {
    const char* name;
    Node node;
    // The folder cannot take a temporary file, so the file is written in place or not at all.
    bool lockedFolder;
    const char* refusal; // the reason named when refused; nullptr when the write goes through
};

void PrintTo(const NodeCase& c, std::ostream* out) {
    *out << c.name;
}

bool makeSocket(const QByteArray& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof(address.sun_path)))
        return false;
    std::copy(path.begin(), path.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    // Bound but never listening: the node stays on disk after the descriptor is gone.
    const bool made = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return made;
}

// Keeps new files out of a folder: by its permissions, or for the superuser, whom they do not bind,
// by the file system's immutable flag. False when neither is possible here.
bool setFolderLocked(const QString& folder, bool locked) {
    if (::geteuid() != 0)
        return ::chmod(QFile::encodeName(folder).constData(), locked ? 0500 : 0700) == 0;
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = locked ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

class NonRegularNodeTest : public FileWriteTest, public ::testing::WithParamInterface<NodeCase> {
protected:
    void TearDown() override {
        if (m_locked)
            setFolderLocked(dir.path(), false);
    }

    // Makes the case's node at `path`, and what a link points to beside it.
    void makeNode() {
        const QByteArray at = QFile::encodeName(path);
        const QByteArray target = QFile::encodeName(dir.filePath(QStringLiteral("target")));
        switch (GetParam().node) {
        case Node::Fifo:
            ASSERT_EQ(::mkfifo(at.constData(), 0600), 0);
            break;
        case Node::Socket:
            ASSERT_TRUE(makeSocket(at));
            break;
        case Node::LinkToFifo:
            ASSERT_EQ(::mkfifo(target.constData(), 0600), 0);
            ASSERT_EQ(::symlink("target", at.constData()), 0);
            break;
        case Node::LinkToSocket:
            ASSERT_TRUE(makeSocket(target));
            ASSERT_EQ(::symlink("target", at.constData()), 0);
            break;
        case Node::LinkToFile:
            replaceFileContent(files, QFile::decodeName(target), QByteArray("old contents"));
            ASSERT_EQ(::symlink("target", at.constData()), 0);
            break;
        }
    }

    bool m_locked = false;
};

mode_t nodeType(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

TEST_P(NonRegularNodeTest, OnlyARegularFileIsEverReplacedAndNothingWaitsForAReader) {
    ASSERT_NO_FATAL_FAILURE(makeNode());
    const QString target = dir.filePath(QStringLiteral("target"));
    const mode_t pathType = nodeType(path);
    const mode_t targetType = nodeType(target);
    if (GetParam().lockedFolder) {
        m_locked = setFolderLocked(dir.path(), true);
        if (!m_locked)
            GTEST_SKIP() << "this file system cannot keep new files out of a folder";
    }

    const std::optional<Error> error = errorOf([&] { replaceFileContent(files, path, QByteArray("new")); });
    if (GetParam().refusal == nullptr) {
        EXPECT_FALSE(error);
        EXPECT_EQ(readAll(target), QByteArray("new"));
    } else {
        ASSERT_TRUE(error);
        const std::string said = error->description().toStdString();
        EXPECT_THAT(said, HasSubstr('"' + path.toStdString() + '"'));
        EXPECT_THAT(said, HasSubstr(GetParam().refusal));
    }
    // The link, and whatever it or the path stood for, are still what they were.
    EXPECT_EQ(nodeType(path), pathType);
    EXPECT_EQ(nodeType(target), targetType);
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, NonRegularNodeTest,
    ::testing::Values(NodeCase{"Fifo", Node::Fifo, false, "a FIFO"},
                      NodeCase{"Socket", Node::Socket, false, "a socket"},
                      NodeCase{"LinkToFifo", Node::LinkToFifo, false, "a FIFO"},
                      NodeCase{"LinkToSocket", Node::LinkToSocket, false, "a socket"},
                      NodeCase{"LinkToFile", Node::LinkToFile, false, nullptr},
                      NodeCase{"FifoInLockedFolder", Node::Fifo, true, "a FIFO"},
                      NodeCase{"SocketInLockedFolder", Node::Socket, true, "a socket"},
                      NodeCase{"LinkToFifoInLockedFolder", Node::LinkToFifo, true, "a FIFO"},
                      NodeCase{"LinkToSocketInLockedFolder", Node::LinkToSocket, true, "a socket"},
                      NodeCase{"LinkToFileInLockedFolder", Node::LinkToFile, true, nullptr}),
    [](const ::testing::TestParamInfo<NodeCase>& row) { return std::string(row.param.name); });

} // namespace
} // namespace velmor::test
