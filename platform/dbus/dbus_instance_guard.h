#pragma once

#include "core/instance_guard.h"

#include <QDBusConnection>

namespace velmor {

// The claim is the well-known name org.velmor.Velmor on the bus that carries the links to HomeVision,
// taken without queueing: the bus refuses it to a second copy, and drops it the moment the holder's
// connection closes, however the holder ended. The holder serves Activate() on /Velmor.
class DbusInstanceGuard : public InstanceGuard {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.velmor.Velmor")
public:
    static constexpr int ReplyTimeoutMs = 5000;

    explicit DbusInstanceGuard(QDBusConnection connection, QObject* parent = nullptr);
    ~DbusInstanceGuard() override;

    [[nodiscard]] Claim claim() override;
    bool activateRunning() override;
    [[nodiscard]] QString place() const override { return QStringLiteral("this session bus"); }

public Q_SLOTS:
    // Called over the bus by a later copy.
    Q_SCRIPTABLE void Activate();

private:
    void release();

    QDBusConnection m_connection;
    bool m_exported = false;
    bool m_held = false;
};

} // namespace velmor
