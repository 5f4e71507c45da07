#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

namespace velmor {

// Holds a window's repaints back for a moment while HomeVision's messages come in, so that a message
// sent the moment the previous one was acknowledged is handled at once instead of waiting for the
// window to paint the previous one. Whatever changed while the hold lasted is painted together when
// it ends, at most HoldMs after the first change. Exposing the window still paints it at once.
// Parts of the window whose own work for a change can wait with the repaint catch up on holdEnds().
class PaintPacer : public QObject {
    Q_OBJECT
public:
    // Half a 60 Hz frame: with the paint itself, the window still shows a change within the frame.
    static constexpr int HoldMs = 8;

    explicit PaintPacer(QWidget& window);

    // The window is about to change: its repaint may wait until the hold ends. A hold that is already
    // running is not lengthened, so that a steady stream of messages still paints every HoldMs.
    void hold();

Q_SIGNALS:
    // The hold is over and the window is about to paint: what was put off until then is due now.
    void holdEnds();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void release();

    QWidget& m_window;
    QTimer m_hold;
    bool m_paintDue = false;
};

} // namespace velmor
