#include "tests/support/fake_slink_control.h"

#include "core/error.h"

namespace velmor::test {

qint32 FakeSlinkControl::record(const QString& operation, const QString& call) {
    m_log.add(call);
    if (m_failing == operation)
        throw Error(5, QStringLiteral("Invalid procedure call"));
    return 0;
}

qint32 FakeSlinkControl::SlinkDefinePort(const QString& portName, const QString& portSpecification,
                                         qint32 setting1, qint32 setting2, qint32 setting3) {
    return record(QStringLiteral("SlinkDefinePort"), QStringLiteral("SlinkDefinePort %1 %2 %3 %4 %5")
                                                         .arg(portName, portSpecification)
                                                         .arg(setting1)
                                                         .arg(setting2)
                                                         .arg(setting3));
}

qint32 FakeSlinkControl::SlinkStart() {
    return record(QStringLiteral("SlinkStart"), QStringLiteral("SlinkStart"));
}

qint32 FakeSlinkControl::SlinkLoadDevice(const QString& deviceName, const QString& descriptionFile,
                                         qint32 setting1, qint32 setting2, qint32 setting3) {
    return record(QStringLiteral("SlinkLoadDevice"), QStringLiteral("SlinkLoadDevice %1 %2 %3 %4 %5")
                                                         .arg(deviceName, descriptionFile)
                                                         .arg(setting1)
                                                         .arg(setting2)
                                                         .arg(setting3));
}

qint32 FakeSlinkControl::SlinkSend(const QString& command) {
    record(QStringLiteral("SlinkSend"), QStringLiteral("SlinkSend ") + command);
    if (onSend)
        onSend(command);
    return m_sendResult;
}

} // namespace velmor::test
