#pragma once

#include "tests/e2e/peer_connections.h"
#include "tests/support/mpd_probe.h"
#include "tests/support/ncid_stand_in.h"
#include "tests/support/private_bus.h"
#include "tests/support/throwaway_mosquitto.h"
#include "tests/support/throwaway_mpd.h"
#include "tests/support/virtual_display.h"
#include "tests/support/windows_build.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace velmor::test {

// Where Velmor shows its window: nowhere (Qt's offscreen platform), or on the virtual display where a
// test can see its windows.
enum class Screen { Offscreen, VirtualDisplay };

// What carries the DDE conversation between Velmor and HomeVision: the session bus, an MQTT broker
// (Velmor then finds it through VELMOR_MQTT), or that broker and real DDE under wine, the Windows
// build's relay between them.
enum class Transport { Dbus, Mqtt, Relay };

[[nodiscard]] const char* transportName(Transport transport);

// Everything Velmor talks to, started once for the whole test program: a private session bus, a
// throwaway MQTT broker, a throwaway MPD over a generated library of short tracks, the NCID stand-in on
// a free port and, from the first test that asks for it, a virtual display. HomeVision's stand-in is
// each test's own.
class EndToEndPeers : public ::testing::Environment {
public:
    // Every track of the library is this long: long enough to see it play, short enough to see the
    // jukebox move on to the next.
    static constexpr double TrackSeconds = 3;

    void SetUp() override;
    void TearDown() override;

    [[nodiscard]] PrivateBus& bus() { return *m_bus; }
    [[nodiscard]] ThrowawayMosquitto& broker() { return *m_broker; }
    [[nodiscard]] MpdProbe probe() const { return MpdProbe(m_mpd->socketPath()); }
    [[nodiscard]] NcidStandIn& ncid() { return *m_ncid; }
    // Started on first use; check isRunning().
    [[nodiscard]] VirtualDisplay& display();
    [[nodiscard]] const WindowsBuild& windows() const { return m_windows; }

    // The clients MPD and the NCID stand-in hold, as their logs tell.
    [[nodiscard]] PeerConnections mpdConnections() const;
    [[nodiscard]] PeerConnections ncidConnections() const;

    // The environment Velmor finds all of them through, showing its window on the screen given and
    // reaching HomeVision over the transport given.
    [[nodiscard]] QProcessEnvironment velmorEnvironment(Screen screen, Transport transport);

private:
    std::unique_ptr<QTemporaryDir> m_music;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<ThrowawayMosquitto> m_broker;
    std::unique_ptr<ThrowawayMpd> m_mpd;
    std::unique_ptr<NcidStandIn> m_ncid;
    std::unique_ptr<VirtualDisplay> m_display;
    WindowsBuild m_windows = WindowsBuild::find();
};

// The peers of this test program.
[[nodiscard]] EndToEndPeers& peers();

} // namespace velmor::test
