#include "bench/map_watch.h"

#include <cstdlib>
#include <poll.h>
#include <xcb/xcb.h>

namespace velmor::bench {

MapWatch::MapWatch(const QString& display) {
    int screenNumber = 0;
    m_connection = xcb_connect(display.toLocal8Bit().constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection) != 0)
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    // Substructure notification on the root reports every top-level window's mapping.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, screens.data->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

MapWatch::~MapWatch() {
    xcb_disconnect(m_connection);
}

bool MapWatch::isConnected() const {
    return xcb_connection_has_error(m_connection) == 0;
}

void MapWatch::discardPending() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
}

std::optional<MapWatch::TimePoint> MapWatch::waitForMap(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd watched{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    while (true) {
        if (sawMap())
            return std::chrono::steady_clock::now();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || ::poll(&watched, 1, static_cast<int>(left.count()) + 1) <= 0)
            return std::nullopt;
    }
}

bool MapWatch::sawMap() {
    bool mapped = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            // Menus and tooltips bypass the window manager; a program's window does not.
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            mapped = mapped || map->override_redirect == 0;
        }
        std::free(event);
        if (mapped)
            break;
    }
    return mapped;
}

} // namespace velmor::bench
