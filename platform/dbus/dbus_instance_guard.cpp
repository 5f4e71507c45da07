#include "platform/dbus/dbus_instance_guard.h"

#include "core/log_categories.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace velmor {

namespace {

const QString ServiceName = QStringLiteral("org.velmor.Velmor");
const QString ObjectPath = QStringLiteral("/Velmor");
const QString InterfaceName = QStringLiteral("org.velmor.Velmor");

} // namespace

DbusInstanceGuard::DbusInstanceGuard(QDBusConnection connection, QObject* parent)
    : InstanceGuard(parent)
    , m_connection(std::move(connection)) {}

DbusInstanceGuard::~DbusInstanceGuard() {
    release();
}

InstanceGuard::Claim DbusInstanceGuard::claim() {
    QDBusConnectionInterface* bus = m_connection.isConnected() ? m_connection.interface() : nullptr;
    if (bus == nullptr) {
        qCWarning(lcDde, "no session bus to check for another running Velmor (%s)",
                  qUtf8Printable(m_connection.lastError().message()));
        return Claim::Unchecked;
    }
    // Served before the name is taken, so that a copy which finds the name held can always reach it.
    m_exported = m_connection.registerObject(ObjectPath, this, QDBusConnection::ExportScriptableSlots);
    bus->setTimeout(ReplyTimeoutMs);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus->registerService(ServiceName, QDBusConnectionInterface::DontQueueService,
                             QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        qCWarning(lcDde, "cannot check for another running Velmor: %s",
                  qUtf8Printable(reply.error().message()));
        release();
        return Claim::Unchecked;
    }
    if (reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        release();
        return Claim::Taken;
    }
    m_held = true;
    return Claim::Ours;
}

bool DbusInstanceGuard::activateRunning() {
    const QDBusMessage call =
        QDBusMessage::createMethodCall(ServiceName, ObjectPath, InterfaceName, QStringLiteral("Activate"));
    // Blocks on the reply alone, bounded: this copy is about to end and has no events to run.
    return m_connection.call(call, QDBus::Block, ReplyTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

void DbusInstanceGuard::Activate() {
    qCInfo(lcDde, "another start on this session bus asked for the window");
    Q_EMIT activationRequested();
}

void DbusInstanceGuard::release() {
    if (m_held && m_connection.isConnected())
        m_connection.interface()->unregisterService(ServiceName);
    m_held = false;
    if (m_exported)
        m_connection.unregisterObject(ObjectPath);
    m_exported = false;
}

} // namespace velmor
