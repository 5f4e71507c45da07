#include "app/kept_frame.h"

#include <QEvent>
#include <QGroupBox>
#include <QPaintEngine>
#include <QPainter>
#include <QTimer>

#include <optional>

namespace velmor {

namespace {

// The pixel format of an image the painter draws into (the window's, or a grab's); nothing otherwise.
std::optional<QImage::Format> formatDrawnIn(const QPainter& painter) {
    const QPaintEngine* const engine = painter.paintEngine();
    const QPaintDevice* const target = engine != nullptr ? engine->paintDevice() : nullptr;
    if (target == nullptr || target->devType() != QInternal::Image)
        return std::nullopt;
    return static_cast<const QImage*>(target)->format();
}

// The plain colour the window fills behind the frame, if it fills it with one.
std::optional<QColor> groundOf(const QWidget& frame) {
    const QWidget* const window = frame.parentWidget();
    if (window == nullptr || !window->isWindow())
        return std::nullopt;
    const QBrush& brush = window->palette().brush(window->backgroundRole());
    if (brush.style() != Qt::SolidPattern || !brush.isOpaque())
        return std::nullopt;
    return brush.color();
}

} // namespace

KeptFrame::KeptFrame(QGroupBox& frame)
    : QObject(&frame)
    , m_frame(frame) {
    frame.installEventFilter(this);
}

KeptFrame::Look KeptFrame::lookNow(QImage::Format format, qreal pixelRatio) const {
    return Look{m_frame.size(),           m_frame.title(), m_frame.palette().cacheKey(),
                m_frame.font(),           m_frame.style(), m_frame.isEnabled(),
                m_frame.isActiveWindow(), pixelRatio,      format};
}

bool KeptFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_frame || event->type() != QEvent::Paint || m_drawing || m_frame.isCheckable() ||
        m_frame.isFlat())
        return false;
    QPainter painter(&m_frame);
    const std::optional<QImage::Format> format = formatDrawnIn(painter);
    if (!format || painter.transform().type() > QTransform::TxTranslate || !groundOf(m_frame))
        return false;
    const Look look = lookNow(*format, painter.device()->devicePixelRatio());
    if (look == m_look && !m_image.isNull()) {
        painter.drawImage(0, 0, m_image);
        return true;
    }
    // Drawn as ever this time; kept from the next time on.
    if (!m_keepingDue) {
        m_keepingDue = true;
        QTimer::singleShot(0, this, [this, look] { keep(look); });
    }
    return false;
}

void KeptFrame::keep(const Look& look) {
    m_keepingDue = false;
    const std::optional<QColor> ground = groundOf(m_frame);
    if (!ground || look != lookNow(look.format, look.pixelRatio))
        return;
    QImage image((QSizeF(look.size) * look.pixelRatio).toSize(), look.format);
    image.setDevicePixelRatio(look.pixelRatio);
    image.fill(*ground);
    QPainter painter(&image);
    m_drawing = true;
    m_frame.render(&painter, QPoint(), QRegion(), QWidget::RenderFlags());
    m_drawing = false;
    painter.end();
    m_image = image;
    m_look = look;
}

} // namespace velmor
