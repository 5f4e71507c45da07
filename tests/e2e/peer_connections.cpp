#include "tests/e2e/peer_connections.h"

namespace velmor::test {

std::set<int> PeerConnections::openedSince(const PeerConnections& before) const {
    std::set<int> since;
    for (const int connection : open) {
        if (connection > before.newest)
            since.insert(connection);
    }
    return since;
}

PeerConnections peerConnections(const QString& log, const QRegularExpression& opened,
                                const QRegularExpression& closed) {
    PeerConnections connections;
    // Matched over the whole text: a log line is not always ended before the next one starts.
    for (const QRegularExpressionMatch& match : opened.globalMatch(log)) {
        const int number = match.captured(1).toInt();
        connections.open.insert(number);
        connections.newest = std::max(connections.newest, number);
    }
    for (const QRegularExpressionMatch& match : closed.globalMatch(log))
        connections.open.erase(match.captured(1).toInt());
    return connections;
}

} // namespace velmor::test
