#pragma once

#include <QRegularExpression>
#include <QString>

#include <set>

namespace velmor::test {

// The connections a peer holds, as its log tells: each line that opens or closes one names the
// connection's number, and numbers only ever grow.
struct PeerConnections {
    std::set<int> open;
    int newest = -1; // the highest number ever opened; -1 before the first

    // The connections opened after `before` was taken that are still open.
    [[nodiscard]] std::set<int> openedSince(const PeerConnections& before) const;
};

// Reads a peer's log; `opened` and `closed` capture the connection's number as their first group.
[[nodiscard]] PeerConnections peerConnections(const QString& log, const QRegularExpression& opened,
                                              const QRegularExpression& closed);

} // namespace velmor::test
