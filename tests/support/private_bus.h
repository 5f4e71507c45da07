#pragma once

#include "tests/support/child_process.h"

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

namespace velmor::test {

// A session bus of the test's own: a dbus-daemon started as a child process, ended with this object
// (or with the test program, should that die first). Tests talk to it through connection(); programs
// they start find it as their session bus through environment().
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    [[nodiscard]] bool isRunning() const {
        return m_daemon.state() == QProcess::Running && !m_address.isEmpty();
    }
    // Why the bus is not running.
    [[nodiscard]] const QString& errorString() const { return m_error; }
    [[nodiscard]] const QString& address() const { return m_address; }
    // This process's connection to the bus.
    [[nodiscard]] QDBusConnection connection() const;
    // The test's environment with this bus as the session bus, for the programs a test starts.
    [[nodiscard]] QProcessEnvironment environment() const;
    // Whether somebody owns the bus name now.
    [[nodiscard]] bool isServed(const QString& service) const;
    // The process id of the bus name's owner; 0 when nobody owns it.
    [[nodiscard]] qint64 owner(const QString& service) const;

private:
    QProcess m_daemon;
    QString m_address;
    QString m_connectionName;
    QString m_error;
};

} // namespace velmor::test
