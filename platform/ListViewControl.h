#pragma once
// The list view: rows with a key, a text, a large and a small picture, further
// columns (sub-items) and a numeric tag, shown in one of four views. The report
// view shows the columns; the icon and list views show the text and picture.
// Set the tooltip with QWidget::setToolTip on the control itself.
#include "platform/ImageList.h"
#include "platform/ListViewItem.h"

#include <QPersistentModelIndex>
#include <QWidget>
#include <optional>

class QListView;
class QStackedLayout;
class QTreeView;
class ListViewModel;

enum class ListViewMode : int { LargeIcons = 0, SmallIcons = 1, List = 2, Report = 3 };

class ListViewControl final : public QWidget {
    Q_OBJECT
public:
    // Mouse buttons as MouseDown reports them.
    enum Button : int { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

    explicit ListViewControl(QWidget* parent = nullptr);

    // Large pictures serve the large icon view, small ones the other three.
    void SetImageLists(const ImageList& large, const ImageList& small);

    // Shown as wide as FittedColumnWidth makes the width in pixels.
    void AddColumn(const QString& title, int widthTwips);
    void ClearColumns();
    int ColumnCount() const;
    QString ColumnTitle(int column) const;
    int ColumnWidth(int column) const; // pixels

    // Position 1 is the top; Count() + 1 appends. Fails, inserting nothing, for a
    // position outside that range or a key that another row already has.
    bool InsertItem(int position, const ListViewItem& item);
    void ClearItems();
    int ItemCount() const;
    // Row 0 is the top; an empty item for a row outside the list.
    ListViewItem Item(int row) const;
    std::optional<ListViewItem> FindItem(const QString& key) const;
    // Selects the row with that key and brings it into view; false when none has it.
    bool SelectItem(const QString& key);
    std::optional<ListViewItem> SelectedItem() const;
    // Leaves no row selected.
    void ClearSelection();
    // The selected row's text, empty when no row is selected.
    QString SelectedText() const;

    void SetView(ListViewMode mode);
    ListViewMode View() const;

    // A refill between these two calls (columns and rows cleared and added
    // again) reaches the views only as the rows that differ from before. A
    // row that stays (see RowIdentity) is the same row: the selected one
    // stays selected while its text is unchanged, and the current row, or
    // else the top one, stays where it is in the view, so that what the
    // pointer is on stays under it.
    void BeginUpdate();
    void EndUpdate();

Q_SIGNALS:
    // A left click anywhere in the list, after the press has updated the
    // selection; also a key that moved the selection to another row.
    void Clicked();
    // A left double-click anywhere in the list, after the selection is up to date.
    void DblClick();
    // The list took the keyboard focus (not on a mere return to its window or from a menu).
    void GotFocus();
    // Any mouse press, after it has updated the selection.
    void MouseDown(int button);

private:
    // Scrolls the report view so that the row's top is at that height again.
    void holdInPlace(const QModelIndex& row, int top);

    ListViewModel* m_model;
    QTreeView* m_report;
    QListView* m_icons;
    QStackedLayout* m_stack;
    ListViewMode m_mode = ListViewMode::Report;
    bool m_switchingView = false;
    QList<int> m_stagedWidths;
    std::optional<ListViewItem> m_selectedBeforeUpdate;
    QPersistentModelIndex m_currentBeforeUpdate;
    bool m_hadCurrent = false;
    QPersistentModelIndex m_anchor;
    int m_anchorTop = 0;
};
