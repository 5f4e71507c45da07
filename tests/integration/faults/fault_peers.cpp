#include "tests/integration/faults/fault_peers.h"

#include "tools/music_library/music_library_writer.h"

#include <csignal>

namespace velmor::test {

namespace {

auto* const peers = static_cast<FaultPeers*>(::testing::AddGlobalTestEnvironment(new FaultPeers));

} // namespace

FaultPeers& faultPeers() {
    return *peers;
}

void FaultPeers::SetUp() {
    m_bus = std::make_unique<PrivateBus>();
    ASSERT_TRUE(m_bus->isRunning()) << m_bus->errorString().toStdString();

    // The catalogue's own lengths (8 to 20 s): a track plays on while a case looks at what it caused.
    m_music = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_music->isValid());
    const std::optional<QString> failure = tools::writeMusicLibrary(m_music->path());
    ASSERT_FALSE(failure) << failure->toStdString();
    m_mpd = std::make_unique<ThrowawayMpd>(m_music->path());
    ASSERT_TRUE(m_mpd->start()) << m_mpd->failure().toStdString();
    // The jukebox control finds its MPD the way libmpdclient does.
    qputenv("MPD_HOST", m_mpd->socketPath().toUtf8());
    qunsetenv("MPD_PORT");

    m_ncid = std::make_unique<NcidStandIn>();
    ASSERT_TRUE(m_ncid->started());
    m_ncidPort = m_ncid->port();
}

void FaultPeers::TearDown() {
    m_ncid.reset();
    m_mpd.reset();
    m_music.reset();
    m_bus.reset();
}

void FaultPeers::killNcid() {
    m_ncid->kill();
    m_ncidDown = true;
}

bool FaultPeers::restartNcid() {
    m_ncid.reset();
    m_ncid = std::make_unique<NcidStandIn>(m_ncidPort);
    m_ncidDown = !m_ncid->started();
    return !m_ncidDown;
}

void FaultPeers::ensureRunning() {
    if (m_mpd->isRunning()) {
        ::kill(static_cast<pid_t>(m_mpd->processId()), SIGCONT);
    } else {
        ASSERT_TRUE(m_mpd->start()) << m_mpd->failure().toStdString();
    }
    if (m_ncidDown) {
        ASSERT_TRUE(restartNcid());
    }
}

} // namespace velmor::test
