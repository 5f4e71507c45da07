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

bool hasReceived(const Transcript& transcript, const char* call) {
    return std::any_of(transcript.begin(), transcript.end(), [&](const TranscriptEntry& entry) {
        return entry.direction == "received" && entry.call == call;
    });
}

bool isOneColour(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) != picture.pixel(0, 0))
                return false;
        }
    }
    return true;
}

// The share of pixels in which the two pictures differ; all of them when their sizes do.
double differingShare(const QImage& one, const QImage& other) {
    if (one.isNull() || one.size() != other.size())
        return 1.0;
    qsizetype count = 0;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x)
            count += one.pixel(x, y) != other.pixel(x, y) ? 1 : 0;
    }
    return static_cast<double>(count) / (static_cast<double>(one.width()) * one.height());
}

class SlowHomeVisionEndToEndTest : public WindowEndToEndTest {
protected:
    // The hook that holds back the answer to Initiate is the session bus stand-in's.
    [[nodiscard]] Transport transport() const override { return Transport::Dbus; }
};

TEST_F(SlowHomeVisionEndToEndTest, WhileHomeVisionIsSlowToAnswerTheWholeWindowIsAlreadyOnScreen) {
    // Long enough to look at the window, well inside Velmor's wait for an answer; each link's
    // Initiate waits this long.
    ASSERT_NO_FATAL_FAILURE(startHomeVision({QStringLiteral("--initiate-delay=2000")}));
    std::optional<VirtualDisplay::Window> window;
    QImage whileWaiting;
    ASSERT_NO_FATAL_FAILURE(startVelmor(Screen::VirtualDisplay, [&] {
        ASSERT_TRUE(homeVision->waitFor([](const Transcript& t) { return hasReceived(t, "Initiate"); }));
        window = waitForWindow(MainWindowTitle);
        ASSERT_TRUE(window);
        // Velmor drew before it asked; the display may still be taking in what it sent.
        EXPECT_TRUE(waitFor([&] { return !isOneColour(whileWaiting = display().grab(*window)); }));
        ASSERT_FALSE(hasReceived(homeVision->transcript(), "Advise"))
            << "HomeVision answered before the look";
    }));

    // Opening the links changes a few captions (the commands sent, their acknowledgement, the jukebox's
    // report); an empty frame differs everywhere.
    EXPECT_LT(differingShare(whileWaiting, display().grab(*window)), 0.02);
}

enum class CloseBy { Signal, WindowSystem };

struct ClosingCase {
    const char* name;
    CloseBy closeBy;
    Transport transport;
    int signalNumber = 0;
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

INSTANTIATE_TEST_SUITE_P(
    , ClosingEndToEndTest,
    ::testing::Values(ClosingCase{"Sigterm", CloseBy::Signal, Transport::Dbus, SIGTERM},
                      ClosingCase{"Sigint", CloseBy::Signal, Transport::Dbus, SIGINT},
                      // The terminal it was started from closed.
                      ClosingCase{"Sighup", CloseBy::Signal, Transport::Dbus, SIGHUP},
                      ClosingCase{"WindowSystem", CloseBy::WindowSystem, Transport::Dbus},
                      ClosingCase{"SigtermMqtt", CloseBy::Signal, Transport::Mqtt, SIGTERM},
                      ClosingCase{"WindowSystemMqtt", CloseBy::WindowSystem, Transport::Mqtt}),
    [](const ::testing::TestParamInfo<ClosingCase>& test) { return test.param.name; });

} // namespace
} // namespace velmor::test
