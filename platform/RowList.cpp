#include "platform/RowList.h"

#include "platform/ColumnWidths.h"
#include "platform/RowListModel.h"
#include "platform/SidewaysScroll.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace {

QStringList titlesOf(const QList<RowListColumn>& columns)
{
    QStringList titles;
    for (const RowListColumn& column : columns)
        titles.append(column.title);
    return titles;
}

} // namespace

RowList::RowList(const QString& caption, const QList<RowListColumn>& columns, QWidget* parent)
    : QWidget(parent)
    , m_caption(new QLabel(caption, this))
    , m_model(new RowListModel(titlesOf(columns), this))
    , m_view(new KeepsSideways<QTableView>(this))
    , m_selectionTimer(new QTimer(this))
{
    m_selectionTimer->setSingleShot(true);
    m_selectionTimer->setInterval(40);
    connect(m_selectionTimer, &QTimer::timeout, this, [this] { applySelection(); });

    m_caption->setVisible(!caption.isEmpty());

    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setWordWrap(false);
    m_view->setShowGrid(false);
    m_view->setAlternatingRowColors(true);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_view->horizontalHeader()->setStretchLastSection(false);
    for (int i = 0; i < columns.size(); ++i) {
        const RowListColumn& column = columns.at(i);
        if (column.width == RowListColumn::FitsTexts)
            m_textColumns.append(i);
        const bool measured = !column.sample.isEmpty() || column.width == RowListColumn::FitsTexts;
        m_view->setColumnWidth(i, measured ? widthFor(i, column.sample)
                                           : FittedColumnWidth(column.width, m_view->font()));
    }
    // Fixed row heights keep appends to a long log cheap: no row is ever measured.
    QHeaderView* rows = m_view->verticalHeader();
    rows->setVisible(false);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_view->fontMetrics().height() + 4);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_caption);
    layout->addWidget(m_view, 1);
}

int RowList::textWidth(const QString& text) const
{
    // A cell keeps this margin on each side of its text, and elides a text
    // that does not fit between them.
    const int margin = m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1;
    return int(std::ceil(QFontMetricsF(m_view->font()).horizontalAdvance(text))) + 2 * margin;
}

int RowList::widthFor(int column, const QString& text) const
{
    return std::max(textWidth(text), m_view->horizontalHeader()->sectionSizeHint(column));
}

void RowList::Clear()
{
    m_queued.clear();
    m_dropQueued = 0;
    m_model->Clear();
    for (int column : std::as_const(m_textColumns))
        m_view->setColumnWidth(column, widthFor(column, QString()));
    if (m_pendingSelection)
        m_pendingSelection = -1;
}

void RowList::AddRow(const QString& row)
{
    showQueued();
    m_model->Append(row);
    fitTexts(RowCount() - 1);
}

void RowList::fitTexts(int first) const
{
    for (int column : std::as_const(m_textColumns)) {
        int width = m_view->columnWidth(column);
        for (int row = first; row < m_model->rowCount(); ++row)
            width = std::max(width, textWidth(m_model->Cell(row, column)));
        if (width > m_view->columnWidth(column))
            m_view->setColumnWidth(column, width);
    }
}

int RowList::RowCount() const
{
    return m_model->rowCount() - m_dropQueued + int(m_queued.size());
}

void RowList::RemoveRow(int index)
{
    if (index < 0 || index >= RowCount())
        return;
    showQueued();
    m_model->Remove(index);
    // A selection still to be shown follows its row.
    if (m_pendingSelection && *m_pendingSelection >= index)
        m_pendingSelection = *m_pendingSelection == index ? -1 : *m_pendingSelection - 1;
}

void RowList::removeFirstRow()
{
    if (m_dropQueued < m_model->rowCount())
        ++m_dropQueued;
    else if (!m_queued.isEmpty())
        m_queued.removeFirst();
    else
        return;
    if (m_pendingSelection && *m_pendingSelection >= 0)
        m_pendingSelection = *m_pendingSelection == 0 ? -1 : *m_pendingSelection - 1;
}

void RowList::AddRowKeeping(const QString& row, int maxRows, int selectAbove)
{
    m_queued.append(row);
    if (RowCount() > maxRows)
        removeFirstRow();
    if (RowCount() > selectAbove)
        m_pendingSelection = RowCount() - 1;
    if (!m_selectionTimer->isActive())
        m_selectionTimer->start();
}

void RowList::showQueued() const
{
    if (m_dropQueued == 0 && m_queued.isEmpty())
        return;
    const int first = m_model->rowCount() - m_dropQueued;
    if (m_dropQueued == m_queued.size()) {
        // A full log: as many rows came as went. The rows move up in place,
        // so the view repaints them and lays out nothing.
        m_model->Shift(m_queued);
    } else {
        m_model->Remove(0, m_dropQueued);
        m_model->Append(m_queued);
    }
    m_dropQueued = 0;
    m_queued.clear();
    fitTexts(first);
}

void RowList::SetSelectedRow(int index)
{
    m_pendingSelection = index;
    if (!m_selectionTimer->isActive())
        m_selectionTimer->start();
}

void RowList::applySelection() const
{
    showQueued();
    if (!m_pendingSelection)
        return;
    const int index = *m_pendingSelection;
    m_pendingSelection.reset();
    m_selectionTimer->stop();
    if (index < 0 || index >= RowCount()) {
        m_view->selectionModel()->clear(); // the current row's band with it
        return;
    }
    m_view->selectRow(index);
    // Up or down only: whoever scrolled the log sideways to read a message keeps that place.
    m_view->scrollTo(m_model->index(index, qMax(0, m_view->columnAt(0))));
}

int RowList::SelectedRow() const
{
    applySelection();
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString RowList::Cell(int row, int column) const
{
    showQueued();
    return m_model->Cell(row, column);
}

QString RowList::Caption() const
{
    return m_caption->text();
}

int RowList::ColumnCount() const
{
    return m_model->columnCount();
}

QString RowList::ColumnTitle(int column) const
{
    return m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

int RowList::ColumnWidth(int column) const
{
    showQueued();
    return m_view->columnWidth(column);
}
