#include "tests/support/private_bus.h"

#include <QDBusConnectionInterface>

namespace velmor::test {

namespace {

constexpr int StartTimeoutMs = 10000;

} // namespace

PrivateBus::PrivateBus() {
    endWithParent(m_daemon);
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                   QStringLiteral("--print-address")});
    if (!m_daemon.waitForStarted(StartTimeoutMs)) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
        return;
    }
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(StartTimeoutMs)) {
            m_error = QStringLiteral("dbus-daemon printed no address: ") +
                      QString::fromLocal8Bit(m_daemon.readAllStandardError());
            return;
        }
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    m_connectionName = QStringLiteral("velmor-test-bus ") + m_address;
    if (!connection().isConnected()) {
        m_error = QStringLiteral("cannot connect to the private bus: ") + connection().lastError().message();
        m_address.clear();
    }
}

PrivateBus::~PrivateBus() {
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
    stopChild(m_daemon, StartTimeoutMs);
}

QDBusConnection PrivateBus::connection() const {
    return QDBusConnection::connectToBus(m_address, m_connectionName);
}

QProcessEnvironment PrivateBus::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    return environment;
}

bool PrivateBus::isServed(const QString& service) const {
    const QDBusConnectionInterface* bus = connection().interface();
    return bus != nullptr && bus->isServiceRegistered(service).value();
}

qint64 PrivateBus::owner(const QString& service) const {
    const QDBusConnectionInterface* bus = connection().interface();
    if (bus == nullptr || !bus->isServiceRegistered(service).value())
        return 0;
    return bus->servicePid(service).value();
}

} // namespace velmor::test
