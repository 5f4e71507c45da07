#include "platform/offline/offline_telephony_control.h"

namespace velmor {

void OfflineTelephonyControl::restoreStoredSettings(const QByteArray& /*settings*/) {}

void OfflineTelephonyControl::setCallSoftEnable(qint32 /*value*/) {}

} // namespace velmor
