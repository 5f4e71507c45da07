#pragma once

#include "core/pending_commands.h"

#include <QString>

namespace velmor {

class HomeVisionCommands;
class JukeboxWindow;
class NowPlayingObserver;
class RegularFiles;

// Handles every report of the jukebox control.
class ReportHandler {
public:
    ReportHandler(JukeboxWindow& window, const RegularFiles& files, HomeVisionCommands& homeVision,
                  PendingCommands& pendingCommands, QString& currentArtist,
                  NowPlayingObserver* observer = nullptr);

    // Every report is shown; a "playing" report that cannot be cut or whose now-playing file cannot be
    // written raises velmor::Error, after which nothing is sent or parked for it.
    void Slinkx_SlinkReceived(const QString& sourceName, const QString& message);

private:
    void handlePlaying(const QString& message);
    void handlePlayer(const QString& message);

    JukeboxWindow& m_window;
    const RegularFiles& m_files;
    HomeVisionCommands& m_homeVision;
    PendingCommands& m_pendingCommands;
    QString& m_currentArtist;
    NowPlayingObserver* m_observer;
};

} // namespace velmor
