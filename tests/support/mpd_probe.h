#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace velmor::test {

// A plain, blocking MPD client for tests: it reads back what MPD holds and sets the scene. Each call
// makes its own connection, so it works across MPD restarts; a failed call fails the running test.
class MpdProbe {
public:
    explicit MpdProbe(QString socketPath)
        : m_socketPath(std::move(socketPath)) {}

    enum class State { Stopped, Playing, Paused };

    // The queue in queue order, each entry as "artist|album|title".
    [[nodiscard]] std::vector<std::string> queue() const;
    [[nodiscard]] bool random() const;
    [[nodiscard]] State state() const;
    // The title of the current track, if any.
    [[nodiscard]] std::optional<std::string> currentTitle() const;

    // Stopped, empty queue, tracks in order.
    void reset() const;
    // Queues the tracks whose title is given, in order.
    void queueTitles(const std::vector<QString>& titles) const;
    // Runs a protocol command that answers with nothing but OK, such as "play" or "single 1".
    void command(const QString& line) const;

private:
    QString m_socketPath;
};

} // namespace velmor::test
