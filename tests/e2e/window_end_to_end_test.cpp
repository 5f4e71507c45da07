#include "tests/e2e/end_to_end_test.h"

#include <QTest>

namespace velmor::test {
namespace {

const QString MainWindowTitle = QStringLiteral("Velmor - Central Controls");
const QString MessageBoxTitle = QStringLiteral("Velmor");

// The window is on the virtual display, where a test sees it as a user would.
class WindowEndToEndTest : public EndToEndTest {
protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        ASSERT_TRUE(display().isRunning()) << display().errorString().toStdString();
    }

    static VirtualDisplay& display() { return peers().display(); }

    // Waits until exactly one window with this title is on screen.
    std::optional<VirtualDisplay::Window> waitForWindow(const QString& title) {
        std::vector<VirtualDisplay::Window> windows;
        if (!waitFor([&] { return (windows = display().windowsTitled(title)).size() == 1; }))
            return std::nullopt;
        return windows.front();
    }
};

class MissingHomeVisionEndToEndTest : public WindowEndToEndTest,
                                      public ::testing::WithParamInterface<Transport> {
protected:
    [[nodiscard]] Transport transport() const override { return GetParam(); }
};

TEST_P(MissingHomeVisionEndToEndTest,
       WithoutHomeVisionABoxStandsOverTheWindowAndTheJukeboxStillWritesEachTrack) {
    ASSERT_NO_FATAL_FAILURE(startVelmor(Screen::VirtualDisplay));

    // Only the box bears the bare title; what it says is the window tests' business.
    const auto box = waitForWindow(MessageBoxTitle);
    ASSERT_TRUE(box) << "no message box appeared";
    EXPECT_TRUE(waitForWindow(MainWindowTitle));
    display().requestClose(*box);
    ASSERT_TRUE(waitFor([] { return display().windowsTitled(MessageBoxTitle).empty(); }));

    probe().queueTitles({QStringLiteral("Hafið"), QStringLiteral("Demo Tape Song")});
    probe().command(QStringLiteral("play"));
    // The file's encoding is Windows-1252, one byte per character.
    const QByteArray first =
        nowPlayingLines("Hafi\xF0", "00:03", "Nor\xF0urlj\xF3s", "Sigr\xFAn \xD3lafsd\xF3ttir");
    const QByteArray second = nowPlayingLines("Demo Tape Song", "00:03", "", "Ann Other");
    EXPECT_EQ(waitForNowPlayingFile(first), first);
    EXPECT_EQ(waitForNowPlayingFile(second), second);
    EXPECT_TRUE(velmor->isRunning());
}

INSTANTIATE_TEST_SUITE_P(, MissingHomeVisionEndToEndTest, EachTransport, nameOfTransport);

class BadBrokerAddressEndToEndTest : public WindowEndToEndTest {
protected:
    [[nodiscard]] Transport transport() const override { return Transport::Mqtt; }
};

TEST_F(BadBrokerAddressEndToEndTest, AVelmorMqttNamingNoBrokerIsABoxThenStatusOneNeverTheSessionBus) {
    QProcessEnvironment environment = peers().velmorEnvironment(Screen::VirtualDisplay, transport());
    environment.insert(QStringLiteral("VELMOR_MQTT"), QStringLiteral("mqtt://ann:hunter2@:1883"));
    velmor = std::make_unique<VelmorProcess>(environment);
    ASSERT_TRUE(velmor->start());

    const auto box = waitForWindow(MessageBoxTitle);
    ASSERT_TRUE(box) << "no message box appeared";
    // The box comes before the window: nothing was set up.
    EXPECT_TRUE(display().windowsTitled(MainWindowTitle).empty());
    display().requestClose(*box);
    EXPECT_EQ(velmor->waitForExit(), 1);
    const std::string written = velmor->standardError().toStdString();
    EXPECT_THAT(written, ::testing::HasSubstr("VELMOR_MQTT"));
    EXPECT_THAT(written, ::testing::Not(::testing::HasSubstr("hunter2")));
}

enum class CloseBy { TerminationSignal, WindowSystem };

struct ClosingCase {
    const char* name;
    CloseBy closeBy;
    Transport transport;
};

class ClosingEndToEndTest : public WindowEndToEndTest, public ::testing::WithParamInterface<ClosingCase> {
protected:
    [[nodiscard]] Transport transport() const override { return GetParam().transport; }
};

TEST_P(ClosingEndToEndTest, ClosingTheWindowEndsWithStatusZeroAndLeavesMpdAndTheNcidServer) {
    ASSERT_NO_FATAL_FAILURE(startHomeVision());
    ASSERT_NO_FATAL_FAILURE(startVelmor(Screen::VirtualDisplay));

    if (GetParam().closeBy == CloseBy::WindowSystem) {
        const auto window = waitForWindow(MainWindowTitle);
        ASSERT_TRUE(window);
        display().requestClose(*window);
    } else {
        velmor->terminate();
    }
    EXPECT_EQ(velmor->waitForExit(), 0);

    const auto stillOpen = [](const PeerConnections& connections, const std::set<int>& velmors) {
        return std::any_of(velmors.begin(), velmors.end(),
                           [&](int connection) { return connections.open.contains(connection); });
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return !stillOpen(peers().mpdConnections(), velmorMpdConnections); },
                                VelmorProcess::WaitTimeoutMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !stillOpen(peers().ncidConnections(), velmorNcidConnections); },
                                VelmorProcess::WaitTimeoutMs));
}

INSTANTIATE_TEST_SUITE_P(
    , ClosingEndToEndTest,
    ::testing::Values(ClosingCase{"TerminationSignal", CloseBy::TerminationSignal, Transport::Dbus},
                      ClosingCase{"WindowSystem", CloseBy::WindowSystem, Transport::Dbus},
                      ClosingCase{"TerminationSignalMqtt", CloseBy::TerminationSignal, Transport::Mqtt},
                      ClosingCase{"WindowSystemMqtt", CloseBy::WindowSystem, Transport::Mqtt}),
    [](const ::testing::TestParamInfo<ClosingCase>& test) { return test.param.name; });

} // namespace
} // namespace velmor::test
