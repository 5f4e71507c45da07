#include "tests/e2e/velmor_process.h"

#include <QTest>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::HasSubstr;

// Lines Velmor wrote to stderr that contain the text.
QStringList linesWith(const QString& standardError, const QString& text) {
    return standardError.split(QLatin1Char('\n')).filter(text);
}

TEST(EnvironmentEndToEndTest, WithoutAnyDisplayItSaysItNeedsAGraphicalSessionAndEndsWithStatusOne) {
    VelmorProcess velmor{QProcessEnvironment()};
    ASSERT_TRUE(velmor.start());

    EXPECT_EQ(velmor.waitForExit(), 1);
    const QStringList lines = velmor.standardError().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << velmor.standardError().toStdString();
    EXPECT_THAT(lines.front().toStdString(), HasSubstr("needs a graphical session"));
}

struct BusCase {
    const char* name;
    const char* address; // %1 is a folder of the test's own
};

void PrintTo(const BusCase& c, std::ostream* out) {
    *out << c.name;
}

class UnusableSessionBusTest : public ::testing::TestWithParam<BusCase> {};

TEST_P(UnusableSessionBusTest, OneLineNamesTheAddressAndTheBusReasonAndVelmorRunsOn) {
    QTemporaryDir folder;
    const QString address = QString::fromUtf8(GetParam().address).replace(QLatin1String("%1"), folder.path());
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    // Nothing answers there, so no peer of the machine's own is touched.
    environment.insert(QStringLiteral("MPD_HOST"), folder.filePath(QStringLiteral("no-mpd")));
    environment.insert(QStringLiteral("NCID_HOST"), QStringLiteral("127.0.0.1"));
    environment.insert(QStringLiteral("NCID_PORT"), QStringLiteral("1"));
    VelmorProcess velmor{environment};
    ASSERT_TRUE(velmor.start());

    const QString variable = QStringLiteral("DBUS_SESSION_BUS_ADDRESS \"%1\"").arg(address);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !linesWith(velmor.standardError(), variable).isEmpty(); },
                                VelmorProcess::WaitTimeoutMs))
        << velmor.standardError().toStdString();
    EXPECT_EQ(linesWith(velmor.standardError(), QStringLiteral("DBUS_SESSION_BUS_ADDRESS")).size(), 1);
    EXPECT_TRUE(velmor.isRunning());
    velmor.terminate();
    EXPECT_EQ(velmor.waitForExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnusableSessionBusTest,
                         ::testing::Values(BusCase{"Garbage", "garbage"},
                                           BusCase{"DeadSocket", "unix:path=%1/gone"}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace velmor::test
