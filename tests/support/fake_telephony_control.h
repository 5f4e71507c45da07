#pragma once

#include "telephony/telephony_control.h"
#include "tests/support/call_log.h"

#include <functional>

namespace velmor::test {

// Records "CallSoftEnable N"; a test may look at the world at that moment through onEnable.
class FakeTelephonyControl : public TelephonyControl {
    Q_OBJECT
public:
    explicit FakeTelephonyControl(CallLog& log)
        : m_log(log) {}

    void restoreStoredSettings(const QByteArray& settings) override { m_storedSettings = settings; }
    void setCallSoftEnable(qint32 value) override;

    void call(const QString& t1, const QString& t2, const QString& t3, const QString& t4, const QString& t5) {
        Q_EMIT CallSoftCallEvent(t1, t2, t3, t4, t5);
    }

    std::function<void(qint32)> onEnable;
    [[nodiscard]] const QByteArray& storedSettings() const { return m_storedSettings; }

private:
    CallLog& m_log;
    QByteArray m_storedSettings;
};

} // namespace velmor::test
