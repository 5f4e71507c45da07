#pragma once

#include <QString>

#include <chrono>
#include <optional>

struct xcb_connection_t;

namespace velmor::bench {

// An X client that sees every top-level window being mapped on a display: a window is shown on the
// screen when the X server maps it, whichever program asked.
class MapWatch {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit MapWatch(const QString& display);
    ~MapWatch();
    MapWatch(const MapWatch&) = delete;
    MapWatch& operator=(const MapWatch&) = delete;

    [[nodiscard]] bool isConnected() const;
    // Forgets whatever happened so far (windows of earlier runs going away).
    void discardPending();
    // When the next top-level window was mapped; nothing if none was within the time-out.
    [[nodiscard]] std::optional<TimePoint> waitForMap(int timeoutMs);

private:
    // Handles queued events; true once a top-level window was mapped.
    bool sawMap();

    xcb_connection_t* m_connection = nullptr;
};

} // namespace velmor::bench
