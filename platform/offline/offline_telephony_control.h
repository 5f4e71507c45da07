#pragma once

#include "telephony/telephony_control.h"

namespace velmor {

// A telephony control with no line behind it: it accepts both settings and never raises a call.
class OfflineTelephonyControl : public TelephonyControl {
    Q_OBJECT
public:
    using TelephonyControl::TelephonyControl;

    void restoreStoredSettings(const QByteArray& settings) override;
    void setCallSoftEnable(qint32 value) override;
};

} // namespace velmor
