#include "jukebox/report_handler.h"

#include "core/homevision_commands.h"
#include "jukebox/jukebox_window.h"

namespace velmor {

ReportHandler::ReportHandler(JukeboxWindow& window, HomeVisionCommands& homeVision,
                             PendingCommands& pendingCommands, QString& currentArtist)
    : m_window(window)
    , m_homeVision(homeVision)
    , m_pendingCommands(pendingCommands)
    , m_currentArtist(currentArtist) {}

void ReportHandler::Slinkx_SlinkReceived(const QString& sourceName, const QString& message) {
    m_window.setLabel1Caption(sourceName + QLatin1Char(':') + message);
}

} // namespace velmor
