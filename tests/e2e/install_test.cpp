#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gmock/gmock.h>

#include <map>
#include <memory>
#include <utility>

namespace velmor::test {
namespace {

constexpr int InstallTimeoutMs = 120000;

// The keys of one group of a desktop entry or a systemd unit, "[Desktop Entry]" unless told.
std::map<QString, QString> groupKeys(const QString& path,
                                     QLatin1String group = QLatin1String("[Desktop Entry]")) {
    std::map<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == group;
        else if (inEntry && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#')))
            keys[line.section(QLatin1Char('='), 0, 0).trimmed()] =
                line.section(QLatin1Char('='), 1).trimmed();
    }
    return keys;
}

// The build installed once into a prefix of the test's own, looked at the way a desktop looks: the
// entry under share/applications names a program in PREFIX/bin (on the PATH of such a prefix) and an
// icon of the hicolor theme under share/icons.
class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_prefix = std::make_unique<QTemporaryDir>();
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(VELMOR_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(VELMOR_BUILD_DIR),
                       QStringLiteral("--prefix"), s_prefix->path()});
        const bool ended = install.waitForFinished(InstallTimeoutMs);
        s_installed = ended && install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
        s_output = QString::fromLocal8Bit(install.readAll());
    }
    static void TearDownTestSuite() { s_prefix.reset(); }

    void SetUp() override {
        ASSERT_TRUE(s_installed) << "cmake --install failed:\n" << s_output.toStdString();
    }

    static QString installed(const QString& relativePath) { return s_prefix->filePath(relativePath); }
    static QString desktopEntryPath() {
        return installed(QStringLiteral("share/applications/velmor.desktop"));
    }
    static QString autostartEntryPath() {
        return installed(QStringLiteral("etc/xdg/autostart/velmor.desktop"));
    }
    static QString userUnitPath() { return installed(QStringLiteral("lib/systemd/user/velmor.service")); }

    // Runs a checker on an installed file; its exit code and everything it printed.
    static std::pair<int, QString>
    check(const QString& program, const QStringList& arguments,
          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        QProcess checker;
        checker.setProcessChannelMode(QProcess::MergedChannels);
        checker.setProcessEnvironment(environment);
        checker.start(program, arguments);
        if (!checker.waitForFinished(InstallTimeoutMs))
            return {-1, QStringLiteral("%1 did not finish: %2").arg(program, checker.errorString())};
        return {checker.exitCode(), QString::fromLocal8Bit(checker.readAll())};
    }

    static inline std::unique_ptr<QTemporaryDir> s_prefix;
    static inline bool s_installed = false;
    static inline QString s_output;
};

TEST_F(InstallTest, TheDesktopEntryStartsTheInstalledProgramWithItsIcon) {
    auto keys = groupKeys(desktopEntryPath());
    ASSERT_FALSE(keys.empty()) << "no desktop entry at " << desktopEntryPath().toStdString();
    EXPECT_EQ(keys[QStringLiteral("Type")], QStringLiteral("Application"));
    EXPECT_EQ(keys[QStringLiteral("Name")], QStringLiteral("Velmor"));

    const QFileInfo program(installed(QStringLiteral("bin/")) + keys[QStringLiteral("Exec")]);
    EXPECT_TRUE(program.isFile() && program.isExecutable()) << program.filePath().toStdString();

    const QString icon = keys[QStringLiteral("Icon")];
    EXPECT_FALSE(icon.contains(QLatin1Char('/'))) << "a themed icon is named, not given by path";
    for (const int size : {16, 32}) {
        const QString path =
            installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon));
        const QImage picture(path);
        EXPECT_EQ(picture.size(), QSize(size, size))
            << "no " << size << " pixel icon at " << path.toStdString();
    }
}

TEST_F(InstallTest, BothDesktopEntriesPassTheStandardsValidator) {
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate is missing: run scripts/bootstrap.sh";
    for (const QString& entry : {desktopEntryPath(), autostartEntryPath()}) {
        const auto [exitCode, complaints] = check(validator, {entry});
        EXPECT_EQ(exitCode, 0) << entry.toStdString() << ":\n" << complaints.toStdString();
        EXPECT_EQ(complaints.trimmed(), QString()) << "hints count as complaints too";
    }
}

// Off until the user turns it on, and then it starts what the menu starts.
TEST_F(InstallTest, TheAutostartEntryStartsTheSameProgramAndIsOffByDefault) {
    auto autostart = groupKeys(autostartEntryPath());
    ASSERT_FALSE(autostart.empty()) << "no autostart entry at " << autostartEntryPath().toStdString();
    auto menu = groupKeys(desktopEntryPath());
    EXPECT_EQ(autostart[QStringLiteral("Hidden")], QStringLiteral("true"));
    for (const char* key : {"Type", "Name", "Exec", "Icon"})
        EXPECT_EQ(autostart[QLatin1String(key)], menu[QLatin1String(key)]) << key;
}

TEST_F(InstallTest, TheUserUnitStartsTheInstalledProgramAndPassesSystemdsVerifier) {
    // Written at install time: the path must be that of this prefix, not the one configured.
    EXPECT_EQ(groupKeys(userUnitPath(), QLatin1String("[Service]"))[QStringLiteral("ExecStart")],
              installed(QStringLiteral("bin/velmor")));
    const QString analyze = QStandardPaths::findExecutable(QStringLiteral("systemd-analyze"));
    ASSERT_FALSE(analyze.isEmpty()) << "systemd-analyze is missing: run scripts/bootstrap.sh";
    // A user manager of its own, offline: it wants a runtime folder, and a test machine may have none.
    const QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    const auto [exitCode, complaints] =
        check(analyze, {QStringLiteral("verify"), QStringLiteral("--user"), userUnitPath()}, environment);
    EXPECT_EQ(exitCode, 0) << complaints.toStdString();
    // A directive it cannot read is only a warning to it; here it is a fault.
    EXPECT_EQ(complaints.trimmed(), QString());
}

} // namespace
} // namespace velmor::test
