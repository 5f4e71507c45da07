#pragma once

#include "tests/e2e/end_to_end_peers.h"
#include "tests/e2e/velmor_process.h"
#include "tests/support/homevision_process.h"
#include "tests/support/relay_process.h"

#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmor::test {

// HomeVision's side of the conversation, one text per event: "message TEXT" for each message it
// delivered, "acknowledged" for each acknowledgement of one, "command TEXT" for each command poked.
[[nodiscard]] std::vector<std::string> conversation(const Transcript& transcript);

// The library's tracks by one artist, as the probe lists them.
[[nodiscard]] std::vector<std::string> tracksBy(const QString& artist);

// The now-playing file's ten lines for a track, each given as the bytes it must hold.
[[nodiscard]] QByteArray nowPlayingLines(const char* trackTitle, const char* trackTime, const char* disc,
                                         const char* artist);

// One test: the built program against the shared peers, with a HomeVision stand-in of its own when the
// test starts one. A test leaves MPD stopped with an empty queue, and Velmor still running is closed at
// its end and must end with status 0. Each concrete test says which transport carries the conversation,
// so that one scenario runs over each.
class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    [[nodiscard]] virtual Transport transport() const = 0;

    // Starts the HomeVision stand-in on the shared bus or broker (or, through the relay, its Windows
    // build), with these further options.
    void startHomeVision(const QStringList& options = {});
    // Starts Velmor and waits until it is connected to MPD and the NCID server and, when HomeVision
    // runs, has opened its links and told HomeVision about the jukebox; whileStarting runs once Velmor
    // was started, before that wait. Use with ASSERT_NO_FATAL_FAILURE.
    void startVelmor(Screen screen = Screen::Offscreen, const std::function<void()>& whileStarting = {});

    // Waits, with Velmor's generous bound, until the condition holds or Velmor has ended.
    bool waitFor(const std::function<bool()>& condition);
    bool waitForConversation(const std::function<bool(const std::vector<std::string>&)>& condition);
    bool waitForCommand(const std::string& command);
    // Waits until the now-playing file holds these bytes; returns what it holds then.
    std::optional<QByteArray> waitForNowPlayingFile(const QByteArray& content);

    [[nodiscard]] std::vector<std::string> conversationNow() {
        return conversation(homeVision->transcript());
    }
    [[nodiscard]] MpdProbe probe() const { return peers().probe(); }

private:
    // Over the relay: starts it, unless it runs, and waits until it reached the broker and, when
    // HomeVision runs, HomeVision. Use with ASSERT_NO_FATAL_FAILURE.
    void startRelay();

protected:
    std::unique_ptr<HomeVisionProcess> homeVision;
    std::unique_ptr<RelayProcess> relay;
    std::unique_ptr<VelmorProcess> velmor;
    // The connections this Velmor opened.
    std::set<int> velmorMpdConnections;
    std::set<int> velmorNcidConnections;
};

// What HomeVision hears from Velmor as soon as Velmor is connected to MPD.
inline const std::vector<std::string> JukeboxConnectedCommands{"command ,=0F00000A0000", "command ,O2B00"};

// Every transport, for INSTANTIATE_TEST_SUITE_P, naming each test after its transport. Over the relay a
// test needs the Windows build; without it the test is skipped, unless VELMOR_WINDOWS_BUILD names it.
inline const auto EachTransport = ::testing::Values(Transport::Dbus, Transport::Mqtt, Transport::Relay);
inline std::string nameOfTransport(const ::testing::TestParamInfo<Transport>& test) {
    return transportName(test.param);
}

} // namespace velmor::test
