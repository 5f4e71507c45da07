#pragma once

#include <QObject>

class QLabel;

namespace velmor {

// Draws a label's caption as bidiSafeText() shows it, while the label's text() stays the caption
// exactly as it was set. It watches the label's paint events and ends with the label.
class SafeCaptionPainter : public QObject {
    Q_OBJECT
public:
    explicit SafeCaptionPainter(QLabel& label);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel& m_label;
};

} // namespace velmor
