#pragma once

#include <QImage>
#include <QProcess>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct xcb_connection_t;

namespace velmor::test {

// A virtual X display (Xvfb) of the test program's own, with a plain X client on it that sees the
// top-level windows a program shows and asks one to close the way a window manager does. There is
// no window manager: Qt's top-level windows are children of the root window.
class VirtualDisplay {
public:
    using Window = std::uint32_t;

    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    [[nodiscard]] bool isRunning() const { return m_connection != nullptr; }
    [[nodiscard]] const QString& errorString() const { return m_error; }
    // What DISPLAY should say, such as ":99".
    [[nodiscard]] const QString& name() const { return m_name; }

    // The top-level windows on screen now whose title is exactly this.
    [[nodiscard]] std::vector<Window> windowsTitled(const QString& title) const;
    // Sends the window WM_DELETE_WINDOW, as a window manager does when its close button is clicked.
    void requestClose(Window window) const;
    // What the window shows on screen now, or a null image when it cannot be read.
    [[nodiscard]] QImage grab(Window window) const;

private:
    [[nodiscard]] std::uint32_t atom(const char* name) const;
    [[nodiscard]] QString title(Window window) const;
    [[nodiscard]] bool isViewable(Window window) const;

    QProcess m_server;
    QString m_name;
    QString m_error;
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> m_connection;
    Window m_root = 0;
};

} // namespace velmor::test
