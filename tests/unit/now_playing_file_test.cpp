#include "core/error.h"
#include "jukebox/now_playing_file.h"
#include "jukebox/windows1252.h"

#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

#include <unistd.h>

namespace velmor::test {
namespace {

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
    replaceFileContent(path, QByteArray("a much longer first content\r\n"));
    replaceFileContent(path, QByteArray("second\r\n"));
    EXPECT_EQ(readAll(path), QByteArray("second\r\n"));
}

TEST_F(FileWriteTest, PathIsUsedAsItStands) {
    const QString odd = dir.filePath(QStringLiteral(" h:\\progra~1\\cd now.txt "));
    replaceFileContent(odd, QByteArray("x"));
    EXPECT_EQ(readAll(odd), QByteArray("x"));
}

struct BadPath {
    const char* name;
    QString path;
    const char* reason;
};

TEST_F(FileWriteTest, FailuresNameThePathAndTheReasonAndKeepTheOldFile) {
    replaceFileContent(path, QByteArray("old"));
    const BadPath bad[] = {
        {"empty", QString(), "no path is given"},
        {"missing folder", dir.filePath(QStringLiteral("missing/cdnow.txt")), "folder does not exist"},
        {"a folder", dir.path(), "directory"},
        {"under a file", path + QStringLiteral("/cdnow.txt"), ""},
    };
    for (const BadPath& b : bad) {
        try {
            replaceFileContent(b.path, QByteArray("new"));
            ADD_FAILURE() << b.name << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), error_number::PathFileAccess) << b.name;
            EXPECT_TRUE(e.description().contains(QLatin1Char('"') + b.path + QLatin1Char('"'))) << b.name;
            EXPECT_TRUE(e.description().contains(QLatin1String(b.reason), Qt::CaseInsensitive))
                << b.name << ": " << e.description().toStdString();
        }
    }
    EXPECT_EQ(readAll(path), QByteArray("old"));
}

TEST_F(FileWriteTest, ReadOnlyFileInAReadOnlyFolderIsKept) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    replaceFileContent(path, QByteArray("old"));
    QFile::setPermissions(path, QFile::ReadOwner);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);

    EXPECT_THROW(replaceFileContent(path, QByteArray("new")), Error);

    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(path), QByteArray("old"));
}

TEST_F(FileWriteTest, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    replaceFileContent(path, QByteArray("old"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);

    replaceFileContent(path, QByteArray("new"));

    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(path), QByteArray("new"));
}

} // namespace
} // namespace velmor::test
