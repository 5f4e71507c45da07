#pragma once

#include "core/pending_commands.h"

#include <QString>

namespace velmor {

class HomeVisionCommands;
class JukeboxWindow;

// Handles every report of the jukebox control.
class ReportHandler {
public:
    ReportHandler(JukeboxWindow& window, HomeVisionCommands& homeVision, PendingCommands& pendingCommands,
                  QString& currentArtist);

    void Slinkx_SlinkReceived(const QString& sourceName, const QString& message);

private:
    JukeboxWindow& m_window;
    HomeVisionCommands& m_homeVision;
    PendingCommands& m_pendingCommands;
    QString& m_currentArtist;
};

} // namespace velmor
