#include "tests/support/fake_telephony_control.h"

namespace velmor::test {

void FakeTelephonyControl::setCallSoftEnable(qint32 value) {
    m_log.add(QStringLiteral("CallSoftEnable %1").arg(value));
    if (onEnable)
        onEnable(value);
}

} // namespace velmor::test
