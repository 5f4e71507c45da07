#pragma once

#include "jukebox/slink_control.h"

namespace velmor {

// A jukebox control with no jukebox behind it: it accepts every call and never reports.
class OfflineSlinkControl : public SlinkControl {
    Q_OBJECT
public:
    using SlinkControl::SlinkControl;

    void restoreStoredSettings(const QByteArray& settings) override;
    qint32 SlinkDefinePort(const QString& portName, const QString& portSpecification, qint32 setting1,
                           qint32 setting2, qint32 setting3) override;
    qint32 SlinkStart() override;
    qint32 SlinkLoadDevice(const QString& deviceName, const QString& descriptionFile, qint32 setting1,
                           qint32 setting2, qint32 setting3) override;
    qint32 SlinkSend(const QString& command) override;
};

} // namespace velmor
