#pragma once
// The row list: a captioned table of text rows with columns fixed when it is
// made. A row is one text whose fields are separated by line feeds. It serves as
// the console's server log, the statistics tables and the log viewer's list.
#include "core/ConsoleLog.h"

#include <QList>
#include <optional>
#include <QWidget>

class QLabel;
class QTableView;
class QTimer;
class RowListModel;

struct RowListColumn {
    // A width for a column as wide as the widest text added to it.
    static constexpr int FitsTexts = -1;

    QString title;
    // Pixels as laid out, shown as FittedColumnWidth makes them; or FitsTexts.
    int width = 0;
    // The widest value the column is made for: when given, the column is as
    // wide as it, or the title, needs in the list's own font.
    QString sample = {};
};

class RowList final : public QWidget, public ConsoleLogList {
    Q_OBJECT
public:
    // An empty caption shows no caption line.
    RowList(const QString& caption, const QList<RowListColumn>& columns, QWidget* parent = nullptr);

    void Clear() override;
    // Appends the row after the last one; field n goes into column n, extra fields are not shown.
    void AddRow(const QString& row) override;
    int RowCount() const override;
    // Out-of-range indexes are ignored.
    void RemoveRow(int index) override;
    // Selects the row and brings it into view; an out-of-range index clears the
    // selection. The view follows on a short timer, so a busy log scrolls and
    // repaints once per tick rather than once per row.
    void SetSelectedRow(int index) override;
    // The rows a busy log gains and drops are handed to the view together on
    // the same timer: a table told of every row apart lays itself out again
    // each time, on the thread that serves every FTP session. Every read
    // (RowCount, Cell, SelectedRow) sees them at once.
    void AddRowKeeping(const QString& row, int maxRows, int selectAbove) override;

    // The selected row, or -1.
    int SelectedRow() const;
    QString Cell(int row, int column) const;
    QString Caption() const;
    int ColumnCount() const;
    QString ColumnTitle(int column) const;
    int ColumnWidth(int column) const; // pixels

private:
    // Hands the waiting rows to the view.
    void showQueued() const;
    void applySelection() const;
    void removeFirstRow();
    // The width a text needs in a cell, margins included.
    int textWidth(const QString& text) const;
    // That width, or what the column's title needs when that is more.
    int widthFor(int column, const QString& text) const;
    // Widens the columns that fit their texts to the rows from first on.
    void fitTexts(int first) const;

    QLabel* m_caption;
    RowListModel* m_model;
    QTableView* m_view;
    QTimer* m_selectionTimer;
    mutable std::optional<int> m_pendingSelection;
    QList<int> m_textColumns; // the FitsTexts columns
    // Rows still to be appended to the model, and rows still to be dropped
    // from its front.
    mutable QStringList m_queued;
    mutable int m_dropQueued = 0;
};
