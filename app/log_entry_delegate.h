#pragma once

#include <QCache>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStyle>
#include <QStyledItemDelegate>

#include <optional>

namespace velmor {

// Lays out and paints each entry of the message log from its first characters only. The list shows
// a few dozen at most, while a message from HomeVision may be of any length: shaping the whole of a
// long one on every layout and paint held the window up for seconds per message, long after it came.
// The entry itself keeps the whole message. Entries are drawn as bidiSafeText() shows them.
//
// Each new message moves every entry in view up by one, so the list repaints them all, and drawing an
// entry's text costs far more than anything else a message does. The delegate keeps what it drew of
// the entries in view and their sizes, and draws an entry afresh only when its text, size or state
// changed: exactly the same pixels, drawn by the style as before.
class LogEntryDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr qsizetype ShownCharacters = 1000;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // What one drawing of an entry depends on, beyond what all entries share.
    struct Look {
        QString text;
        QSize size;
        int state = 0;
        int features = 0;
        int colourGroup = 0;
        int format = 0;
        qreal pixelRatio = 1.0;

        friend bool operator==(const Look&, const Look&) = default;
    };

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    // What all entries share: when any of it changes, nothing drawn or measured before holds.
    struct Setting {
        QFont font;
        qint64 palette = 0;
        const QStyle* style = nullptr;
        Qt::LayoutDirection direction = Qt::LeftToRight;

        friend bool operator==(const Setting&, const Setting&) = default;
    };

    void forgetUnless(const Setting& setting) const;

    // Enough for the entries in view, and the current one as it looked before and after.
    static constexpr qsizetype DrawnKiB = 160;
    // More than the log ever holds.
    static constexpr qsizetype KeptSizes = 128;

    mutable Setting m_setting;
    mutable QCache<Look, QImage> m_drawn{DrawnKiB};
    mutable QCache<QString, QSize> m_sizes{KeptSizes};
};

size_t qHash(const LogEntryDelegate::Look& look, size_t seed = 0);

} // namespace velmor
