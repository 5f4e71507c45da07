#include "tests/e2e/end_to_end_test.h"

#include <QTest>

#include <csignal>

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

TEST_F(WindowEndToEndTest, WithoutHomeVisionABoxStandsOverTheWindowAndTheJukeboxStillWritesEachTrack) {
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

enum class CloseBy { Signal, WindowSystem };

struct ClosingCase {
    const char* name;
    CloseBy closeBy;
    int signalNumber = 0;
};

class ClosingEndToEndTest : public WindowEndToEndTest, public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(ClosingEndToEndTest, ClosingTheWindowEndsWithStatusZeroAndLeavesMpdAndTheNcidServer) {
    ASSERT_NO_FATAL_FAILURE(startHomeVision());
    ASSERT_NO_FATAL_FAILURE(startVelmor(Screen::VirtualDisplay));

    if (GetParam().closeBy == CloseBy::WindowSystem) {
        const auto window = waitForWindow(MainWindowTitle);
        ASSERT_TRUE(window);
        display().requestClose(*window);
    } else {
        velmor->signal(GetParam().signalNumber);
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

INSTANTIATE_TEST_SUITE_P(, ClosingEndToEndTest,
                         ::testing::Values(ClosingCase{"Sigterm", CloseBy::Signal, SIGTERM},
                                           ClosingCase{"Sigint", CloseBy::Signal, SIGINT},
                                           // The terminal it was started from closed.
                                           ClosingCase{"Sighup", CloseBy::Signal, SIGHUP},
                                           ClosingCase{"WindowSystem", CloseBy::WindowSystem}),
                         [](const ::testing::TestParamInfo<ClosingCase>& test) { return test.param.name; });

} // namespace
} // namespace velmor::test
