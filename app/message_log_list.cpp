#include "app/message_log_list.h"

#include <QAccessible>

#include <utility>

namespace velmor {

void MessageLogList::holdBack() {
    m_holdingBack = true;
}

void MessageLogList::catchUp() {
    m_holdingBack = false;
    layOutIfDue();
    if (!std::exchange(m_selectionDue, false))
        return;
    viewport()->update();
    if (const QListWidgetItem* current = currentItem())
        scrollToItem(current);
}

void MessageLogList::selectRow(int row) {
    setCurrentRow(row);
    if (heldBack())
        m_selectionDue = true;
    else
        scrollToItem(item(row));
}

bool MessageLogList::heldBack() const {
    // A screen reader hears of each change as it happens; telling it needs the layout anyway.
    return m_holdingBack && !QAccessible::isActive();
}

void MessageLogList::layOutIfDue() {
    if (std::exchange(m_layoutDue, false))
        QListWidget::doItemsLayout();
}

void MessageLogList::doItemsLayout() {
    if (heldBack())
        m_layoutDue = true;
    else
        QListWidget::doItemsLayout();
}

void MessageLogList::paintEvent(QPaintEvent* event) {
    // The display may ask for the list (uncovering it) before the hold ends.
    layOutIfDue();
    QListWidget::paintEvent(event);
}

void MessageLogList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    if (heldBack())
        m_selectionDue = true;
    else
        QListWidget::selectionChanged(selected, deselected);
}

void MessageLogList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (heldBack())
        m_selectionDue = true;
    else
        QListWidget::currentChanged(current, previous);
}

} // namespace velmor
