#include "app/paint_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <utility>

namespace velmor {

PaintPacer::PaintPacer(QWidget& window)
    : m_window(window) {
    m_hold.setSingleShot(true);
    m_hold.setTimerType(Qt::PreciseTimer);
    m_hold.setInterval(HoldMs);
    connect(&m_hold, &QTimer::timeout, this, &PaintPacer::release);
    window.installEventFilter(this);
}

void PaintPacer::hold() {
    if (!m_hold.isActive())
        m_hold.start();
}

bool PaintPacer::eventFilter(QObject* watched, QEvent* event) {
    // Qt asks a top-level window to paint what changed with one update request; while that request is
    // held back, Qt asks no more and keeps gathering the changes.
    if (watched != &m_window || event->type() != QEvent::UpdateRequest || !m_hold.isActive())
        return false;
    m_paintDue = true;
    return true;
}

void PaintPacer::release() {
    Q_EMIT holdEnds();
    if (!std::exchange(m_paintDue, false))
        return;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&m_window, &request);
}

} // namespace velmor
