#pragma once
// An item view that brings a cell into view without carrying the list sideways
// while any part of the cell is already in sight. A click in a column wider
// than the list (a log's message) would otherwise scroll to that column's far,
// usually empty, end, and every other column and title would leave the view.
#include <QAbstractItemView>
#include <QScrollBar>

template <class View>
class KeepsSideways : public View {
public:
    using View::View;

    void scrollTo(const QModelIndex& index, QAbstractItemView::ScrollHint hint = QAbstractItemView::EnsureVisible) override
    {
        QScrollBar* sideways = this->horizontalScrollBar();
        const int before = sideways->value();
        const QRect cell = this->visualRect(index);
        const bool inSight = cell.isValid() && cell.right() >= 0 && cell.left() < this->viewport()->width();
        View::scrollTo(index, hint);
        if (inSight)
            sideways->setValue(before);
    }
};
