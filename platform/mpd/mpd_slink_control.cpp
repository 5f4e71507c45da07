#include "platform/mpd/mpd_slink_control.h"

#include "jukebox/jukebox_reports.h"
#include "platform/mpd/mpd_requests.h"

#include <algorithm>
#include <utility>

namespace velmor {

MpdSlinkControl::MpdSlinkControl(MpdServerAddress server, QObject* parent)
    : SlinkControl(parent)
    , m_session(std::move(server)) {
    connect(&m_session, &MpdSession::connected, this, &MpdSlinkControl::onConnected);
    connect(&m_session, &MpdSession::playerChanged, this, &MpdSlinkControl::reportPlayer);
}

void MpdSlinkControl::restoreStoredSettings(const QByteArray& /*settings*/) {}

qint32 MpdSlinkControl::SlinkDefinePort(const QString& portName, const QString& portSpecification,
                                        qint32 /*setting1*/, qint32 /*setting2*/, qint32 /*setting3*/) {
    const Port port{portName, isTransmitPortSettings(portSpecification)};
    const auto known =
        std::find_if(m_ports.begin(), m_ports.end(), [&](const Port& p) { return p.name == portName; });
    if (known != m_ports.end())
        *known = port;
    else
        m_ports.push_back(port);
    return Done;
}

qint32 MpdSlinkControl::SlinkStart() {
    m_session.start();
    return Done;
}

qint32 MpdSlinkControl::SlinkLoadDevice(const QString& /*deviceName*/, const QString& /*descriptionFile*/,
                                        qint32 /*setting1*/, qint32 /*setting2*/, qint32 /*setting3*/) {
    // MPD knows its own player: there is no device to describe to it.
    return Done;
}

qint32 MpdSlinkControl::SlinkSend(const QString& command) {
    const std::optional<AddressedCommand> addressed = splitAddressedCommand(command);
    if (!addressed || !isTransmitPort(addressed->port)) {
        const QString port = addressed ? addressed->port : command.trimmed();
        return fail(UnknownPort, QStringLiteral("unknown port: %1").arg(port));
    }
    const std::optional<JukeboxCommand> parsed = parseJukeboxCommand(addressed->command);
    if (!parsed)
        return fail(UnknownCommand, QStringLiteral("unknown command: %1").arg(addressed->command));
    return carryOut(*parsed);
}

bool MpdSlinkControl::isTransmitPort(const QString& name) const {
    return std::any_of(m_ports.begin(), m_ports.end(),
                       [&](const Port& port) { return port.transmits && port.name == name; });
}

qint32 MpdSlinkControl::carryOut(const JukeboxCommand& command) {
    if (command.action == JukeboxAction::SearchTracks || command.action == JukeboxAction::SearchDiscs) {
        m_wholeDiscs = command.action == JukeboxAction::SearchDiscs;
        return Done;
    }
    if (!fitsOneRequest(command))
        return fail(Refused, QStringLiteral("search value too long for MPD"));
    const MpdOutcome outcome =
        m_session.run([&](mpd_connection& connection) { requestCommand(connection, command, m_wholeDiscs); });
    switch (outcome.kind) {
    case MpdOutcome::Kind::Done:
        return Done;
    case MpdOutcome::Kind::NotConnected:
        return fail(NotConnected, outcome.reason);
    case MpdOutcome::Kind::Refused:
        return fail(Refused, outcome.reason);
    case MpdOutcome::Kind::Lost:
        return fail(ConnectionLost, outcome.reason);
    }
    Q_UNREACHABLE();
}

qint32 MpdSlinkControl::fail(qint32 result, const QString& reason) {
    report(errorReport(reason));
    return result;
}

void MpdSlinkControl::onConnected() {
    // Tags the jukebox never reads (comments, lyrics) may be of any length; left out, they cannot
    // make an answer the library is unable to read.
    m_session.run(&requestUsedTagsOnly);
    if (!std::exchange(m_carryOn, false)) {
        // Song ids are MPD's own and start afresh with it.
        m_unreadableTrack.reset();
        m_tracker.restart();
        report(usingPlayerReport());
    }
    reportPlayer();
}

void MpdSlinkControl::reportPlayer() {
    const std::optional<unsigned> skipped =
        m_unreadableTrack ? std::optional(m_unreadableTrack->songId) : std::nullopt;
    std::optional<PlayerSnapshot> snapshot;
    const MpdOutcome outcome =
        m_session.run([&](mpd_connection& connection) { snapshot = requestPlayer(connection, skipped); });
    if (!snapshot)
        return;
    if (!outcome.done()) {
        // Only the track's own tags were past reading. The connection went with them; the next one
        // must not ask for this track again, nor announce the player anew.
        if (!outcome.unreadableAnswer || !snapshot->songId)
            return;
        m_unreadableTrack = UnreadableTrack{
            *snapshot->songId, QStringLiteral("cannot read the tags of the track: %1").arg(outcome.reason)};
        m_carryOn = outcome.kind == MpdOutcome::Kind::Lost;
    }
    if (m_unreadableTrack && snapshot->songId == m_unreadableTrack->songId)
        snapshot->trackFailure = m_unreadableTrack->reason;
    for (const QString& message : m_tracker.reportsFor(*snapshot))
        report(message);
}

void MpdSlinkControl::report(const QString& message) {
    const auto transmitPort =
        std::find_if(m_ports.begin(), m_ports.end(), [](const Port& p) { return p.transmits; });
    const QString source = transmitPort != m_ports.end() ? transmitPort->name : QString();
    QMetaObject::invokeMethod(
        this, [this, source, message] { Q_EMIT SlinkReceived(source, message); }, Qt::QueuedConnection);
}

} // namespace velmor
