#include "app/kept_frame.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
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

std::vector<QRect> KeptFrame::captionPlacesIn(const QRegion& region) const {
    std::vector<QRect> places;
    QRegion left = region;
    for (const QLabel* caption : m_frame.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (caption->isVisible() && region.intersects(caption->geometry())) {
            places.push_back(caption->geometry());
            left -= caption->geometry();
        }
    }
    // Only what lies wholly behind captions; a paint of more of the frame draws it as ever.
    return left.isEmpty() ? places : std::vector<QRect>{};
}

const QImage* KeptFrame::kept(const QRect& place) const {
    const auto found =
        std::find_if(m_places.begin(), m_places.end(), [&](const Place& p) { return p.rect == place; });
    return found != m_places.end() ? &found->image : nullptr;
}

bool KeptFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_frame || event->type() != QEvent::Paint || m_drawing || m_frame.isCheckable() ||
        m_frame.isFlat())
        return false;
    const std::vector<QRect> places = captionPlacesIn(static_cast<QPaintEvent*>(event)->region());
    if (places.empty() || !groundOf(m_frame))
        return false;
    QPainter painter(&m_frame);
    const std::optional<QImage::Format> format = formatDrawnIn(painter);
    if (!format || painter.transform().type() > QTransform::TxTranslate)
        return false;
    const Look look = lookNow(*format, painter.device()->devicePixelRatio());
    if (look != m_look) {
        m_places.clear();
        m_look = look;
    }
    if (std::all_of(places.begin(), places.end(),
                    [this](const QRect& place) { return kept(place) != nullptr; })) {
        for (const QRect& place : places)
            painter.drawImage(place.topLeft(), *kept(place));
        return true;
    }
    // Drawn as ever this time; kept from the next time on.
    QTimer::singleShot(0, this, [this, look, places] { keep(look, places); });
    return false;
}

void KeptFrame::keep(const Look& look, const std::vector<QRect>& places) {
    const std::optional<QColor> ground = groundOf(m_frame);
    if (!ground || look != m_look || look != lookNow(look.format, look.pixelRatio))
        return;
    for (const QRect& place : places) {
        if (kept(place) != nullptr)
            continue;
        QImage image((QSizeF(place.size()) * look.pixelRatio).toSize(), look.format);
        image.setDevicePixelRatio(look.pixelRatio);
        image.fill(*ground);
        QPainter painter(&image);
        m_drawing = true;
        m_frame.render(&painter, QPoint(), QRegion(place), QWidget::RenderFlags());
        m_drawing = false;
        painter.end();
        m_places.push_back(Place{place, image});
    }
}

} // namespace velmor
