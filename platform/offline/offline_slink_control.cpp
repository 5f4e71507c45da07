#include "platform/offline/offline_slink_control.h"

namespace velmor {

void OfflineSlinkControl::restoreStoredSettings(const QByteArray& /*settings*/) {}

qint32 OfflineSlinkControl::SlinkDefinePort(const QString& /*portName*/, const QString& /*portSpecification*/,
                                            qint32 /*setting1*/, qint32 /*setting2*/, qint32 /*setting3*/) {
    return 0;
}

qint32 OfflineSlinkControl::SlinkStart() {
    return 0;
}

qint32 OfflineSlinkControl::SlinkLoadDevice(const QString& /*deviceName*/, const QString& /*descriptionFile*/,
                                            qint32 /*setting1*/, qint32 /*setting2*/, qint32 /*setting3*/) {
    return 0;
}

qint32 OfflineSlinkControl::SlinkSend(const QString& /*command*/) {
    return 0;
}

} // namespace velmor
