#pragma once

#include <QListWidget>

namespace velmor {

// The message log's list box. Each new entry costs the list a layout of all its entries, and showing
// that another entry became current a scroll; together far more than the change itself. While the
// window holds its repaint back for HomeVision's messages (PaintPacer), the list can hold that work
// back with it and catch up once, before the window paints. Its entries and which one is current
// still change at once; only the view of them waits.
// Without a meta-object of its own it stays, by class name too, the design's QListWidget.
class MessageLogList : public QListWidget {
public:
    using QListWidget::QListWidget;

    // Until catchUp(), entries are not laid out and a change of the current entry is not shown.
    void holdBack();
    // Lays the entries out as they stand and shows them, with the current one scrolled into view.
    void catchUp();
    // Makes the entry at this row current and selected, and scrolls it into view unless held back.
    void selectRow(int row);

    void doItemsLayout() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    [[nodiscard]] bool heldBack() const;
    void layOutIfDue();

    bool m_holdingBack = false;
    bool m_layoutDue = false;
    bool m_selectionDue = false;
};

} // namespace velmor
