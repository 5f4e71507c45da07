#pragma once

#include "jukebox/jukebox_command.h"
#include "jukebox/playback_tracker.h"
#include "jukebox/slink_control.h"
#include "platform/mpd/mpd_server_address.h"
#include "platform/mpd/mpd_session.h"

#include <optional>
#include <vector>

namespace velmor {

// The jukebox control carried out by a Music Player Daemon. Commands sent to a transmit port become
// MPD requests; what the player does comes back as the jukebox's reports, on the first transmit port.
// Reports are delivered from the event loop, never from inside the call that caused them.
class MpdSlinkControl : public SlinkControl {
    Q_OBJECT
public:
    // Results of SlinkSend.
    enum Result : qint32 {
        Done = 0,
        NotConnected = -1,
        UnknownPort = -2,
        UnknownCommand = -3,
        Refused = -4,
        ConnectionLost = -5,
    };

    explicit MpdSlinkControl(MpdServerAddress server = {}, QObject* parent = nullptr);

    void restoreStoredSettings(const QByteArray& settings) override;
    qint32 SlinkDefinePort(const QString& portName, const QString& portSpecification, qint32 setting1,
                           qint32 setting2, qint32 setting3) override;
    qint32 SlinkStart() override;
    qint32 SlinkLoadDevice(const QString& deviceName, const QString& descriptionFile, qint32 setting1,
                           qint32 setting2, qint32 setting3) override;
    qint32 SlinkSend(const QString& command) override;

    // The connection to MPD, for whoever follows its state.
    [[nodiscard]] const MpdSession& session() const { return m_session; }

private:
    struct Port {
        QString name;
        bool transmits = false;
    };
    // A track whose tags the library could not read: asked for once, reported as an error once.
    struct UnreadableTrack {
        unsigned songId = 0;
        QString reason;
    };

    [[nodiscard]] bool isTransmitPort(const QString& name) const;
    qint32 carryOut(const JukeboxCommand& command);
    qint32 fail(qint32 result, const QString& reason);
    void onConnected();
    void reportPlayer();
    void report(const QString& message);

    std::vector<Port> m_ports;
    bool m_wholeDiscs = false;
    PlaybackTracker m_tracker;
    std::optional<UnreadableTrack> m_unreadableTrack;
    // The connection was lost to an unreadable track, not to MPD: the next one carries on from there.
    bool m_carryOn = false;
    MpdSession m_session;
};

} // namespace velmor
