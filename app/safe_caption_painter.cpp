#include "app/safe_caption_painter.h"

#include "app/bidi_safe_text.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace velmor {

SafeCaptionPainter::SafeCaptionPainter(QLabel& label)
    : QObject(&label)
    , m_label(label) {
    label.installEventFilter(this);
}

bool SafeCaptionPainter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_label || event->type() != QEvent::Paint)
        return false;
    const QString shown = bidiSafeText(m_label.text());
    // Nearly every caption holds no such control: the label draws it itself.
    if (shown.size() == m_label.text().size())
        return false;
    // What QLabel draws for a plain-text caption without a frame, with the safe text in its place.
    QPainter painter(&m_label);
    QStyleOption option;
    option.initFrom(&m_label);
    const int margin = m_label.margin();
    const QRect area = m_label.contentsRect().adjusted(margin, margin, -margin, -margin);
    int flags = QStyle::visualAlignment(shown.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight,
                                        m_label.alignment());
    if (m_label.wordWrap())
        flags |= Qt::TextWordWrap;
    m_label.style()->drawItemText(&painter, area, flags, option.palette, m_label.isEnabled(), shown,
                                  m_label.foregroundRole());
    return true;
}

} // namespace velmor
