#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gmock/gmock.h>

#include <memory>
#include <set>
#include <string>

namespace velmor::test {
namespace {

using ::testing::HasSubstr;

// Making the package runs dpkg-shlibdeps over the program, which takes a while on a busy machine.
constexpr int PackageTimeoutMs = 300000;

struct Outcome {
    bool ok = false;
    QString output;
};

Outcome run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(PackageTimeoutMs);
    Outcome result;
    result.ok = ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    result.output = QString::fromUtf8(process.readAll());
    if (!ended)
        result.output += QStringLiteral("\n(did not finish in time)");
    return result;
}

// The package made once from this very build with cpack, in a folder of the test's own, and unpacked
// into a root of its own the way dpkg would lay it out.
class PackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_work = std::make_unique<QTemporaryDir>();
        const Outcome made = run(QStringLiteral(VELMOR_CPACK_COMMAND),
                                 {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                  QStringLiteral(VELMOR_CPACK_CONFIG), QStringLiteral("-B"),
                                  s_work->filePath(QStringLiteral("out"))});
        s_failure = made.ok ? QString() : QStringLiteral("cpack failed:\n") + made.output;
        const QStringList packages =
            QDir(s_work->filePath(QStringLiteral("out"))).entryList({QStringLiteral("*.deb")}, QDir::Files);
        if (s_failure.isEmpty() && packages.size() != 1)
            s_failure = QStringLiteral("cpack made %1 packages:\n%2").arg(packages.size()).arg(made.output);
        if (!s_failure.isEmpty())
            return;
        s_package = s_work->filePath(QStringLiteral("out/") + packages.front());
        const Outcome unpacked = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), s_package, root()});
        if (!unpacked.ok)
            s_failure = QStringLiteral("dpkg-deb -x failed:\n") + unpacked.output;
    }
    static void TearDownTestSuite() { s_work.reset(); }

    void SetUp() override { ASSERT_TRUE(s_failure.isEmpty()) << s_failure.toStdString(); }

    static QString root() { return s_work->filePath(QStringLiteral("root")); }
    // A field of the package's control file, or the text of one of its control files.
    static std::string control(const QStringList& arguments) {
        const Outcome asked = run(QStringLiteral("dpkg-deb"), arguments);
        EXPECT_TRUE(asked.ok) << asked.output.toStdString();
        return asked.output.trimmed().toStdString();
    }

    static inline std::unique_ptr<QTemporaryDir> s_work;
    static inline QString s_package;
    static inline QString s_failure;
};

TEST_F(PackageTest, HoldsTheProgramAndTheFilesADesktopReadsAndNothingElse) {
    std::set<std::string> files;
    for (QDirIterator it(root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        files.insert(QDir(root()).relativeFilePath(it.next()).toStdString());
    EXPECT_EQ(files, (std::set<std::string>{
                         "usr/bin/velmor",
                         "usr/share/applications/velmor.desktop",
                         "usr/share/icons/hicolor/16x16/apps/velmor.png",
                         "usr/share/icons/hicolor/32x32/apps/velmor.png",
                         "etc/xdg/autostart/velmor.desktop",
                         "usr/lib/systemd/user/velmor.service",
                         "usr/share/doc/velmor/changelog.Debian.gz",
                     }));
    EXPECT_TRUE(QFileInfo(root() + QStringLiteral("/usr/bin/velmor")).isExecutable());
}

TEST_F(PackageTest, DependsOnTheLibrariesTheProgramLinks) {
    const std::string depends = control({QStringLiteral("-f"), s_package, QStringLiteral("Depends")});
    for (const char* library :
         {"libc6", "libqt6core6", "libqt6widgets6", "libqt6dbus6", "libmpdclient2", "libmosquitto1"})
        EXPECT_THAT(depends, HasSubstr(library));
}

TEST_F(PackageTest, TheUnitStartsThePackagedProgramAndTheAutostartEntryIsAConffile) {
    QFile unit(root() + QStringLiteral("/usr/lib/systemd/user/velmor.service"));
    ASSERT_TRUE(unit.open(QIODevice::ReadOnly));
    EXPECT_THAT(unit.readAll().toStdString(), HasSubstr("\nExecStart=/usr/bin/velmor\n"));
    EXPECT_EQ(control({QStringLiteral("--info"), s_package, QStringLiteral("conffiles")}),
              "/etc/xdg/autostart/velmor.desktop");
}

} // namespace
} // namespace velmor::test
