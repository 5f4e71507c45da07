#pragma once

#include <QString>

namespace velmor {

class CallObserver;
class HomeVisionCommands;
class TelephonyWindow;

class CallEventHandler {
public:
    CallEventHandler(TelephonyWindow& window, HomeVisionCommands& homeVision,
                     CallObserver* observer = nullptr);

    void CallSoft1_CallSoftCallEvent(const QString& text1, const QString& text2, const QString& text3,
                                     const QString& text4, const QString& text5);

private:
    TelephonyWindow& m_window;
    HomeVisionCommands& m_homeVision;
    CallObserver* m_observer;
};

} // namespace velmor
