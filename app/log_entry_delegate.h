#pragma once

#include <QStyledItemDelegate>

namespace velmor {

// Lays out and paints each entry of the message log from its first characters only. The list shows
// a few dozen at most, while a message from HomeVision may be of any length: shaping the whole of a
// long one on every layout and paint held the window up for seconds per message, long after it came.
// The entry itself keeps the whole message. Entries are drawn as bidiSafeText() shows them.
class LogEntryDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr qsizetype ShownCharacters = 1000;

    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace velmor
