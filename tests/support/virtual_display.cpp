#include "tests/support/virtual_display.h"

#include "tests/support/child_process.h"

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace velmor::test {

namespace {

constexpr int StartTimeoutMs = 10000;

// A reply of xcb's, freed with free() as xcb asks.
template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> XcbReply<Reply> owned(Reply* reply) {
    return XcbReply<Reply>(reply, &std::free);
}

void disconnect(xcb_connection_t* connection) {
    if (connection != nullptr)
        xcb_disconnect(connection);
}

} // namespace

VirtualDisplay::VirtualDisplay()
    : m_connection(nullptr, &disconnect) {
    endWithParent(m_server);
    m_server.setStandardErrorFile(QProcess::nullDevice());
    // -displayfd picks a free display and prints its number once it accepts clients.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp")});
    if (!m_server.waitForStarted(StartTimeoutMs)) {
        m_error = QStringLiteral("Xvfb did not start: ") + m_server.errorString();
        return;
    }
    while (!m_server.canReadLine()) {
        if (!m_server.waitForReadyRead(StartTimeoutMs)) {
            m_error = QStringLiteral("Xvfb printed no display number");
            return;
        }
    }
    m_name = QLatin1Char(':') + QString::fromLatin1(m_server.readLine()).trimmed();
    xcb_connection_t* connection = xcb_connect(m_name.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        m_error = QStringLiteral("cannot connect to the virtual display ") + m_name;
        return;
    }
    m_connection.reset(connection);
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

VirtualDisplay::~VirtualDisplay() {
    m_connection.reset();
    stopChild(m_server, StartTimeoutMs);
}

std::uint32_t VirtualDisplay::atom(const char* name) const {
    const auto reply = owned(xcb_intern_atom_reply(
        m_connection.get(),
        xcb_intern_atom(m_connection.get(), 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

QString VirtualDisplay::title(Window window) const {
    const auto reply = owned(xcb_get_property_reply(
        m_connection.get(),
        xcb_get_property(m_connection.get(), 0, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 0, 1024),
        nullptr));
    if (!reply)
        return {};
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

bool VirtualDisplay::isViewable(Window window) const {
    const auto reply = owned(xcb_get_window_attributes_reply(
        m_connection.get(), xcb_get_window_attributes(m_connection.get(), window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::vector<VirtualDisplay::Window> VirtualDisplay::windowsTitled(const QString& wanted) const {
    std::vector<Window> found;
    if (!isRunning())
        return found;
    const auto tree =
        owned(xcb_query_tree_reply(m_connection.get(), xcb_query_tree(m_connection.get(), m_root), nullptr));
    if (!tree)
        return found;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = 0; i < count; ++i) {
        if (isViewable(children[i]) && title(children[i]) == wanted)
            found.push_back(children[i]);
    }
    return found;
}

void VirtualDisplay::requestClose(Window window) const {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection.get());
}

QImage VirtualDisplay::grab(Window window) const {
    const auto geometry = owned(
        xcb_get_geometry_reply(m_connection.get(), xcb_get_geometry(m_connection.get(), window), nullptr));
    if (!geometry || geometry->depth != 24)
        return {};
    const auto reply =
        owned(xcb_get_image_reply(m_connection.get(),
                                  xcb_get_image(m_connection.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                                geometry->width, geometry->height, ~0U),
                                  nullptr));
    const int width = geometry->width;
    const int height = geometry->height;
    // The display is 24 bits deep, which X keeps as 32 bits per pixel, the layout of QImage::Format_RGB32.
    const qsizetype bytesPerLine = qsizetype{width} * 4;
    if (!reply || xcb_get_image_data_length(reply.get()) != bytesPerLine * height)
        return {};
    return QImage(xcb_get_image_data(reply.get()), width, height, bytesPerLine, QImage::Format_RGB32).copy();
}

} // namespace velmor::test
