#include "tests/integration/faults/fault_window.h"
#include "tests/support/message_capture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What stands in the way of the write, set up in the case's folder before the report and taken away
// after it. Returns the path the window is given.
enum class Obstacle { EmptyPath, MissingFolder, PathUnderAFile, FolderAtThePath, FileSizeLimit, ReadOnly };

struct PathFault {
    const char* name;
    Obstacle obstacle;
};

void PrintTo(const PathFault& c, std::ostream* out) {
    *out << c.name;
}

class NowPlayingFaultTest : public FaultWindowTest, public ::testing::WithParamInterface<PathFault> {
protected:
    QString setUpObstacle() {
        switch (GetParam().obstacle) {
        case Obstacle::EmptyPath:
            return QString();
        case Obstacle::MissingFolder:
            return folder.filePath(QStringLiteral("missing/cdnow.txt"));
        case Obstacle::PathUnderAFile: {
            QFile plain(folder.filePath(QStringLiteral("plain")));
            EXPECT_TRUE(plain.open(QIODevice::WriteOnly));
            return folder.filePath(QStringLiteral("plain/cdnow.txt"));
        }
        case Obstacle::FolderAtThePath:
            EXPECT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("cdnow folder")));
            return folder.filePath(QStringLiteral("cdnow folder"));
        case Obstacle::FileSizeLimit: {
            // The disk takes a few bytes and then no more: the write stops part-way. Root is bound by
            // this limit as much as anyone.
            std::signal(SIGXFSZ, SIG_IGN);
            ::getrlimit(RLIMIT_FSIZE, &m_savedLimit);
            rlimit small = m_savedLimit;
            small.rlim_cur = 32;
            EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
            return nowPlayingPath;
        }
        case Obstacle::ReadOnly:
            QFile::setPermissions(nowPlayingPath, QFile::ReadOwner);
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
            return nowPlayingPath;
        }
        return {};
    }

    void takeObstacleAway() {
        if (GetParam().obstacle == Obstacle::FileSizeLimit) {
            ::setrlimit(RLIMIT_FSIZE, &m_savedLimit);
            std::signal(SIGXFSZ, SIG_DFL);
        }
        if (GetParam().obstacle == Obstacle::ReadOnly) {
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::setPermissions(nowPlayingPath, QFile::ReadOwner | QFile::WriteOwner);
        }
    }

private:
    rlimit m_savedLimit{};
};

TEST_P(NowPlayingFaultTest, KeepsTheOldFileSaysSoInOneLineAndWritesTheNextGoodReport) {
    if (GetParam().obstacle == Obstacle::ReadOnly && ::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    ASSERT_NO_FATAL_FAILURE(startWindow());
    ASSERT_TRUE(play(Lanterns));
    const QByteArray lanterns = fileFor("Harbour Lights", "The Quiet Pines", "Lanterns", "00:09");
    ASSERT_EQ(nowPlayingFile(), lanterns);
    ASSERT_EQ(controls().DDECommand->text(), QStringLiteral(",=120000090000"));

    const QString badPath = setUpObstacle();
    controls().CDInfo->setText(badPath);
    const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QStringList lines;
    {
        MessageCapture capture;
        const bool played = play(SaltRoad);
        lines = capture.lines();
        takeObstacleAway();
        ASSERT_TRUE(played);
    }

    ASSERT_EQ(lines.size(), 1) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("Slinkx_SlinkReceived ended on ")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QLatin1Char('"') + badPath + QLatin1Char('"'))) << lines[0].toStdString();
    EXPECT_FALSE(lines[0].contains(QLatin1Char('\n')));
    EXPECT_EQ(nowPlayingFile(), lanterns);
    // Nothing left behind: no temporary file, nothing made at the bad path.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    // The handling ended before the track's time went to HomeVision.
    EXPECT_EQ(controls().DDECommand->text(), QStringLiteral(",=120000090000"));
    EXPECT_EQ(form->currentArtist(), QStringLiteral("The Quiet Pines"));

    controls().CDInfo->setText(nowPlayingPath);
    ASSERT_TRUE(play(Overtime));
    EXPECT_EQ(nowPlayingFile(), fileFor("Late Shift", "Brass Foundry", "Overtime", "00:10"));
    EXPECT_EQ(controls().DDECommand->text(), QStringLiteral(",=1200000A0000"));
    EXPECT_THAT(messageBoxes.entries(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Paths, NowPlayingFaultTest,
                         ::testing::Values(PathFault{"EmptyPath", Obstacle::EmptyPath},
                                           PathFault{"MissingFolder", Obstacle::MissingFolder},
                                           PathFault{"PathUnderAFile", Obstacle::PathUnderAFile},
                                           PathFault{"FolderAtThePath", Obstacle::FolderAtThePath},
                                           PathFault{"WriteStopsPartWay", Obstacle::FileSizeLimit},
                                           PathFault{"ReadOnlyFileAndFolder", Obstacle::ReadOnly}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace velmor::test
