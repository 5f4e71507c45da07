#include "tests/e2e/end_to_end_peers.h"

#include "tools/music_library/music_library_writer.h"

namespace velmor::test {

namespace {

auto* const peersEnvironment =
    static_cast<EndToEndPeers*>(::testing::AddGlobalTestEnvironment(new EndToEndPeers));

} // namespace

const char* transportName(Transport transport) {
    switch (transport) {
    case Transport::Mqtt:
        return "Mqtt";
    case Transport::Relay:
        return "Relay";
    case Transport::Dbus:
        break;
    }
    return "Dbus";
}

EndToEndPeers& peers() {
    return *peersEnvironment;
}

void EndToEndPeers::SetUp() {
    m_music = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_music->isValid());
    const std::optional<QString> failure = tools::writeMusicLibrary(m_music->path(), TrackSeconds);
    ASSERT_FALSE(failure) << failure->toStdString();

    m_bus = std::make_unique<PrivateBus>();
    ASSERT_TRUE(m_bus->isRunning()) << m_bus->errorString().toStdString();
    m_broker = std::make_unique<ThrowawayMosquitto>();
    ASSERT_TRUE(m_broker->start()) << m_broker->failure().toStdString();
    m_mpd = std::make_unique<ThrowawayMpd>(m_music->path());
    ASSERT_TRUE(m_mpd->start()) << m_mpd->failure().toStdString();
    m_ncid = std::make_unique<NcidStandIn>();
    ASSERT_TRUE(m_ncid->started());
}

void EndToEndPeers::TearDown() {
    if (m_windows.missing().isEmpty())
        m_windows.endSession();
    m_display.reset();
    m_ncid.reset();
    m_mpd.reset();
    m_broker.reset();
    m_bus.reset();
    m_music.reset();
}

VirtualDisplay& EndToEndPeers::display() {
    if (!m_display)
        m_display = std::make_unique<VirtualDisplay>();
    return *m_display;
}

PeerConnections EndToEndPeers::mpdConnections() const {
    const QRegularExpression opened(QStringLiteral("client: \\[(\\d+)\\] opened"));
    const QRegularExpression closed(QStringLiteral("client: \\[(\\d+)\\] closed"));
    return peerConnections(m_mpd->log(), opened, closed);
}

PeerConnections EndToEndPeers::ncidConnections() const {
    const QRegularExpression opened(QStringLiteral("^client (\\d+) connected"),
                                    QRegularExpression::MultilineOption);
    const QRegularExpression closed(QStringLiteral("^client (\\d+) gone"),
                                    QRegularExpression::MultilineOption);
    return peerConnections(m_ncid->output().join(QLatin1Char('\n')), opened, closed);
}

QProcessEnvironment EndToEndPeers::velmorEnvironment(Screen screen, Transport transport) {
    QProcessEnvironment environment = m_bus->environment();
    if (transport != Transport::Dbus)
        environment.insert(QStringLiteral("VELMOR_MQTT"), m_broker->url());
    else
        environment.remove(QStringLiteral("VELMOR_MQTT"));
    environment.insert(QStringLiteral("MPD_HOST"), m_mpd->socketPath());
    environment.remove(QStringLiteral("MPD_PORT"));
    environment.insert(QStringLiteral("NCID_HOST"), QStringLiteral("127.0.0.1"));
    environment.insert(QStringLiteral("NCID_PORT"), QString::number(m_ncid->port()));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    if (screen == Screen::VirtualDisplay) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), display().name());
    } else {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("DISPLAY"));
    }
    return environment;
}

} // namespace velmor::test
