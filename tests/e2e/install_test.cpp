#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gmock/gmock.h>

#include <map>
#include <memory>

namespace velmor::test {
namespace {

constexpr int InstallTimeoutMs = 120000;

// The keys of a desktop entry's [Desktop Entry] group.
std::map<QString, QString> desktopEntryKeys(const QString& path) {
    std::map<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == QLatin1String("[Desktop Entry]");
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

    static inline std::unique_ptr<QTemporaryDir> s_prefix;
    static inline bool s_installed = false;
    static inline QString s_output;
};

TEST_F(InstallTest, TheDesktopEntryStartsTheInstalledProgramWithItsIcon) {
    auto keys = desktopEntryKeys(desktopEntryPath());
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

TEST_F(InstallTest, TheDesktopEntryPassesTheStandardsValidator) {
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate is missing: run scripts/bootstrap.sh";
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(validator, {desktopEntryPath()});
    ASSERT_TRUE(validate.waitForFinished(InstallTimeoutMs));
    const QString complaints = QString::fromLocal8Bit(validate.readAll());
    EXPECT_EQ(validate.exitCode(), 0) << complaints.toStdString();
    EXPECT_EQ(complaints.trimmed(), QString()) << "hints count as complaints too";
}

} // namespace
} // namespace velmor::test
