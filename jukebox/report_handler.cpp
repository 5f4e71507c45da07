#include "jukebox/report_handler.h"

#include "core/error.h"
#include "core/handler_guard.h"
#include "core/homevision_commands.h"
#include "jukebox/jukebox_window.h"
#include "jukebox/now_playing_file.h"
#include "jukebox/now_playing_observer.h"
#include "jukebox/report_cutter.h"
#include "jukebox/time_code.h"

namespace velmor {

ReportHandler::ReportHandler(JukeboxWindow& window, const RegularFiles& files, HomeVisionCommands& homeVision,
                             PendingCommands& pendingCommands, QString& currentArtist,
                             NowPlayingObserver* observer)
    : m_window(window)
    , m_files(files)
    , m_homeVision(homeVision)
    , m_pendingCommands(pendingCommands)
    , m_currentArtist(currentArtist)
    , m_observer(observer) {}

void ReportHandler::Slinkx_SlinkReceived(const QString& sourceName, const QString& message) {
    m_window.setLabel1Caption(sourceName + QLatin1Char(':') + message);
    if (isPlayingReport(message))
        handlePlaying(message);
    handlePlayer(message);
}

void ReportHandler::handlePlaying(const QString& message) {
    const ReportCut cut = cutPlayingReport(message);
    // The artist is kept even when the rest of the report turns out to be unusable.
    if (cut.artist)
        m_currentArtist = *cut.artist;
    if (!cut.track) {
        throw Error(error_number::InvalidProcedureCall,
                    QStringLiteral("the report \"%1\" cannot be cut into its fields")
                        .arg(shortenedForReport(message)));
    }
    const TrackInfo& track = *cut.track;

    Write_Now_Playing_File(m_window, m_files, track);
    // Only once the file holds it, so that the file and what others hear never disagree.
    if (m_observer)
        m_observer->nowPlaying(track);

    // The colon between minutes and seconds is never looked at.
    const QString minutes = timeCode(track.trackTime.mid(0, 2));
    const QString seconds = timeCode(track.trackTime.mid(3, 2));
    m_homeVision.Send_DDE_Command(QStringLiteral(",=120000") + seconds + minutes + QStringLiteral("00"));
    m_pendingCommands[1] = QStringLiteral(",?1F00") + minutes;
    m_pendingCommands[2] = QStringLiteral(",?2000") + seconds;
    // With track info off the television command is not parked again, but one parked earlier stays.
    if (m_window.check1Value() == 1)
        m_pendingCommands[3] = QStringLiteral(",O1900");
}

void ReportHandler::handlePlayer(const QString& message) {
    // Independent tests: a report may match more than one.
    if (message.startsWith(QLatin1String("using_player[mp3]")))
        m_homeVision.Send_DDE_Command(QStringLiteral(",=0F00000A0000"));
    if (message.startsWith(QLatin1String("echo[using_player")))
        m_homeVision.Send_DDE_Command(QStringLiteral(",O1F00"));
    if (message.startsWith(QLatin1String("using_player")))
        m_homeVision.Send_DDE_Command(QStringLiteral(",O2B00"));
}

} // namespace velmor
