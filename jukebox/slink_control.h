#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace velmor {

// The jukebox's serial controller as Velmor uses it: four operations and one report event.
// An operation may raise velmor::Error; what a result means beyond that is the control's own.
class SlinkControl : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SlinkControl() override;

    // The bytes the window keeps for the control, handed over unchanged when the window creates it.
    virtual void restoreStoredSettings(const QByteArray& settings) = 0;

    virtual qint32 SlinkDefinePort(const QString& portName, const QString& portSpecification, qint32 setting1,
                                   qint32 setting2, qint32 setting3) = 0;
    virtual qint32 SlinkStart() = 0;
    virtual qint32 SlinkLoadDevice(const QString& deviceName, const QString& descriptionFile, qint32 setting1,
                                   qint32 setting2, qint32 setting3) = 0;
    virtual qint32 SlinkSend(const QString& command) = 0;

Q_SIGNALS:
    // One report per event, on the event loop's thread.
    void SlinkReceived(const QString& sourceName, const QString& message);
};

} // namespace velmor
