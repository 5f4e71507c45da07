#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace velmor {

// The caller-ID control: switched on and off by a property, raises one event per call.
// Its on-screen place belongs to the window, which also keeps its visibility.
class TelephonyControl : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TelephonyControl() override = default;

    virtual void restoreStoredSettings(const QByteArray& settings) = 0;
    // -1 switches the control on, 0 switches it off.
    virtual void setCallSoftEnable(qint32 value) = 0;

Q_SIGNALS:
    void CallSoftCallEvent(const QString& text1, const QString& text2, const QString& text3,
                           const QString& text4, const QString& text5);
};

} // namespace velmor
