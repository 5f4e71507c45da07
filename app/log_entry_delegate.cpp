#include "app/log_entry_delegate.h"

#include "app/bidi_safe_text.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QWidget>

#include <memory>

namespace velmor {

namespace {

QStyle* styleOf(const QStyleOptionViewItem& option) {
    return option.widget != nullptr ? option.widget->style() : QApplication::style();
}

// The plain colour an entry is drawn over, if the list fills its view with one; nothing otherwise.
std::optional<QColor> colourUnder(const QStyleOptionViewItem& option) {
    const auto* list = qobject_cast<const QAbstractScrollArea*>(option.widget);
    const QWidget* view = list != nullptr ? list->viewport() : nullptr;
    if (view == nullptr || !view->autoFillBackground())
        return std::nullopt;
    const QBrush& brush = view->palette().brush(view->backgroundRole());
    if (brush.style() != Qt::SolidPattern || !brush.isOpaque())
        return std::nullopt;
    return brush.color();
}

// The pixel format the painter draws in, when it draws into an image (the window's, or a grab's): an
// image of an entry in that very format blends its edges with the very same arithmetic.
std::optional<QImage::Format> formatDrawnIn(const QPainter& painter) {
    const QPaintEngine* const engine = painter.paintEngine();
    const QPaintDevice* const target = engine != nullptr ? engine->paintDevice() : nullptr;
    if (target == nullptr || target->devType() != QInternal::Image)
        return std::nullopt;
    return static_cast<const QImage*>(target)->format();
}

// Whether an image of the entry, drawn over that colour and copied in place, gives the very pixels
// that drawing it in place would: a plain text entry on a plain ground, copied one to one. The frame
// the style draws around the entry that has the keyboard's focus is shaded along the entry's height,
// and a shading comes out a shade different when drawn elsewhere and moved: that entry, one at most,
// is always drawn in place.
bool copiesExactly(const QPainter& painter, const QStyleOptionViewItem& option) {
    constexpr auto Adornments = QStyleOptionViewItem::Alternate | QStyleOptionViewItem::HasCheckIndicator |
                                QStyleOptionViewItem::HasDecoration;
    return (option.features & Adornments) == 0 && (option.state & QStyle::State_HasFocus) == 0 &&
           option.backgroundBrush.style() == Qt::NoBrush &&
           option.palette.brush(QPalette::Highlight).style() == Qt::SolidPattern &&
           painter.transform().type() <= QTransform::TxTranslate && painter.opacity() >= 1.0 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

} // namespace

void LogEntryDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.size() > ShownCharacters) {
        qsizetype shown = ShownCharacters;
        // Never half a character.
        if (option->text.at(shown - 1).isHighSurrogate())
            --shown;
        option->text.truncate(shown);
    }
    option->text = bidiSafeText(option->text);
}

QSize LogEntryDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    forgetUnless(Setting{option.font, option.palette.cacheKey(), styleOf(option), option.direction});
    // An entry holds nothing but its text, so entries of the same text measure the same; the list lays
    // all of them out again whenever one comes or goes.
    const QString text = index.data(Qt::DisplayRole).toString();
    if (const QSize* known = m_sizes.object(text))
        return *known;
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    m_sizes.insert(text, new QSize(size));
    return size;
}

void LogEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem entry = option;
    initStyleOption(&entry, index);
    QStyle* const style = styleOf(entry);
    const std::optional<QColor> ground = colourUnder(entry);
    const std::optional<QImage::Format> format = formatDrawnIn(*painter);
    const qreal ratio = painter->device()->devicePixelRatio();
    const QSize pixels = entry.rect.size() * ratio;
    const qsizetype kib = qsizetype{pixels.width()} * pixels.height() * 4 / 1024 + 1;
    // An entry far wider than the list (a very long message) is not worth keeping.
    if (!ground || !format || !copiesExactly(*painter, entry) || pixels.isEmpty() || kib > DrawnKiB / 4) {
        style->drawControl(QStyle::CE_ItemViewItem, &entry, painter, entry.widget);
        return;
    }

    forgetUnless(Setting{entry.font, entry.palette.cacheKey(), style, entry.direction});
    const Look look{entry.text,
                    entry.rect.size(),
                    static_cast<int>(entry.state),
                    static_cast<int>(entry.features),
                    static_cast<int>(entry.palette.currentColorGroup()),
                    static_cast<int>(*format),
                    ratio};
    const QImage* drawn = m_drawn.object(look);
    if (drawn == nullptr) {
        auto image = std::make_unique<QImage>(pixels, *format);
        image->setDevicePixelRatio(ratio);
        image->fill(*ground);
        QPainter imagePainter(image.get());
        imagePainter.setFont(painter->font());
        imagePainter.setPen(painter->pen());
        imagePainter.setBrush(painter->brush());
        imagePainter.setRenderHints(painter->renderHints());
        imagePainter.setLayoutDirection(painter->layoutDirection());
        QStyleOptionViewItem atOrigin = entry;
        atOrigin.rect.moveTopLeft(QPoint(0, 0));
        style->drawControl(QStyle::CE_ItemViewItem, &atOrigin, &imagePainter, entry.widget);
        imagePainter.end();
        drawn = image.get();
        m_drawn.insert(look, image.release(), kib);
    }
    painter->drawImage(entry.rect.topLeft(), *drawn);
}

void LogEntryDelegate::forgetUnless(const Setting& setting) const {
    if (setting == m_setting)
        return;
    m_setting = setting;
    m_drawn.clear();
    m_sizes.clear();
}

size_t qHash(const LogEntryDelegate::Look& look, size_t seed) {
    return qHashMulti(seed, look.text, look.size.width(), look.size.height(), look.state, look.features,
                      look.colourGroup, look.format, look.pixelRatio);
}

} // namespace velmor
