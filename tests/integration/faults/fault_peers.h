#pragma once

#include "tests/support/mpd_probe.h"
#include "tests/support/ncid_stand_in.h"
#include "tests/support/private_bus.h"
#include "tests/support/throwaway_mpd.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace velmor::test {

// The outside parties every case of this program runs against, started once: a private session bus,
// a throwaway MPD over a generated music library, and the NCID stand-in. A case that kills one of them
// brings it back before it ends; the next case finds it running again in any event.
class FaultPeers : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    [[nodiscard]] PrivateBus& bus() { return *m_bus; }
    [[nodiscard]] ThrowawayMpd& mpd() { return *m_mpd; }
    [[nodiscard]] MpdProbe probe() const { return MpdProbe(m_mpd->socketPath()); }
    [[nodiscard]] NcidStandIn& ncid() { return *m_ncid; }
    [[nodiscard]] quint16 ncidPort() const { return m_ncidPort; }

    // Ends the NCID stand-in at once, as a crash would.
    void killNcid();
    // Starts the NCID stand-in anew on the port it had; false when it does not listen.
    [[nodiscard]] bool restartNcid();
    // Brings back whatever a failed case left stopped or frozen.
    void ensureRunning();

private:
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<QTemporaryDir> m_music;
    std::unique_ptr<ThrowawayMpd> m_mpd;
    std::unique_ptr<NcidStandIn> m_ncid;
    quint16 m_ncidPort = 0;
    bool m_ncidDown = false;
};

// The program's peers, registered before the cases run.
[[nodiscard]] FaultPeers& faultPeers();

} // namespace velmor::test
