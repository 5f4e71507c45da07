#pragma once

#include "jukebox/slink_control.h"
#include "tests/support/call_log.h"

#include <functional>
#include <optional>

namespace velmor::test {

// Records each operation as "Name arg arg ..."; raises an error from a chosen operation.
class FakeSlinkControl : public SlinkControl {
    Q_OBJECT
public:
    explicit FakeSlinkControl(CallLog& log)
        : m_log(log) {}

    void restoreStoredSettings(const QByteArray& settings) override { m_storedSettings = settings; }
    qint32 SlinkDefinePort(const QString& portName, const QString& portSpecification, qint32 setting1,
                           qint32 setting2, qint32 setting3) override;
    qint32 SlinkStart() override;
    qint32 SlinkLoadDevice(const QString& deviceName, const QString& descriptionFile, qint32 setting1,
                           qint32 setting2, qint32 setting3) override;
    qint32 SlinkSend(const QString& command) override;

    // The operation named here raises error 5 ("Invalid procedure call") after recording the call.
    void failOperation(const QString& name) { m_failing = name; }
    void setSendResult(qint32 result) { m_sendResult = result; }
    void report(const QString& sourceName, const QString& message) {
        Q_EMIT SlinkReceived(sourceName, message);
    }

    // Runs inside every SlinkSend, after the call is recorded: a test may act at that moment.
    std::function<void(const QString&)> onSend;
    [[nodiscard]] const QByteArray& storedSettings() const { return m_storedSettings; }

private:
    qint32 record(const QString& operation, const QString& call);

    CallLog& m_log;
    QByteArray m_storedSettings;
    std::optional<QString> m_failing;
    qint32 m_sendResult = 0;
};

} // namespace velmor::test
