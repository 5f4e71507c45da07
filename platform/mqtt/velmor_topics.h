#pragma once

#include "jukebox/now_playing_observer.h"
#include "telephony/call_observer.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace velmor {

class MqttConnection;

// Velmor's own topics on the program's broker connection, for anyone besides the controller: the
// retained velmor/status (with "offline" as the connection's will, and "online" said again whenever
// something else is said there while the copy runs), the track now playing, each call, Home
// Assistant's discovery configs (sent on every connect and whenever Home Assistant says it is back
// online, at most one set a second), and the jukebox commands that arrive on velmor/jukebox/send.
// Made before the connection first connects, so that the will is part of it; says nothing until the
// connection is admitted.
class VelmorTopics : public QObject, public NowPlayingObserver, public CallObserver {
    Q_OBJECT
public:
    explicit VelmorTopics(MqttConnection& connection, QObject* parent = nullptr);
    // Says "offline" when this copy had said "online": the clean exit.
    ~VelmorTopics() override;

    void nowPlaying(const TrackInfo& track) override;
    void callReported(const CallReport& call) override;

Q_SIGNALS:
    // One payload of velmor/jukebox/send, to be handed to the jukebox.
    void jukeboxCommandReceived(const QString& command);

private:
    void announce();
    void onMessage(const QString& topic, const QByteArray& payload, bool retained);
    void askedForDiscovery();
    void publishDiscovery();

    MqttConnection& m_connection;
    bool m_announced = false;
    // Whether the connection has told of the connect it is on.
    bool m_connected = false;
    // Kept to be told again after a reconnect: the broker may have lost its retained copy.
    std::optional<QByteArray> m_nowPlaying;
    bool m_warnedOfRetainedCommand = false;
    QTimer m_discoveryPause;
    bool m_discoveryOwed = false;
};

} // namespace velmor
