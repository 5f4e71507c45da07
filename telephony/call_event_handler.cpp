#include "telephony/call_event_handler.h"

#include "core/homevision_commands.h"
#include "telephony/call_observer.h"
#include "telephony/telephony_window.h"

namespace velmor {

CallEventHandler::CallEventHandler(TelephonyWindow& window, HomeVisionCommands& homeVision,
                                   CallObserver* observer)
    : m_window(window)
    , m_homeVision(homeVision)
    , m_observer(observer) {}

void CallEventHandler::CallSoft1_CallSoftCallEvent(const QString& text1, const QString& text2,
                                                   const QString& text3, const QString& text4,
                                                   const QString& text5) {
    if (m_observer)
        m_observer->callReported(CallReport{text1, text2, text3, text4, text5});
    m_window.setLabel19Caption(QStringLiteral("yes"));
    // Only the fourth text matters; a single blank still counts as present.
    if (!text4.isEmpty())
        m_homeVision.Send_DDE_Command(QStringLiteral(",Y1E02"));
}

} // namespace velmor
