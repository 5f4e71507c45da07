#pragma once

#include <QProcess>
#include <QString>

namespace velmor::bench {

// An Xvfb display of the benchmark's own, so that no window manager or desktop takes part.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", or empty when Xvfb did not start.
    [[nodiscard]] const QString& name() const { return m_name; }
    [[nodiscard]] const QString& errorString() const { return m_error; }

private:
    QProcess m_server;
    QString m_name;
    QString m_error;
};

} // namespace velmor::bench
