#include "platform/ListViewControl.h"

#include "platform/ColumnWidths.h"
#include "platform/ListViewModel.h"
#include "platform/SidewaysScroll.h"
#include "platform/Twips.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTreeView>
#include <functional>

namespace {

// A view that tells its control about presses, clicks, double-clicks and focus
// after it has handled them itself, so the selection is already up to date.
template <class Base>
class ReportingView final : public Base {
public:
    using Base::Base;

    std::function<void(Qt::MouseButton)> pressed;
    std::function<void()> clicked;
    std::function<void()> doubleClicked;
    std::function<void()> focused;
    std::function<void()> keyedToAnotherRow;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QModelIndexList before = this->selectionModel()->selectedRows();
        Base::keyPressEvent(event);
        if (keyedToAnotherRow && this->selectionModel()->selectedRows() != before)
            keyedToAnotherRow();
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        Base::mousePressEvent(event);
        if (pressed)
            pressed(event->button());
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        Base::mouseReleaseEvent(event);
        if (clicked && event->button() == Qt::LeftButton && this->viewport()->rect().contains(event->position().toPoint()))
            clicked();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        Base::mouseDoubleClickEvent(event);
        if (doubleClicked && event->button() == Qt::LeftButton)
            doubleClicked();
    }
    void focusInEvent(QFocusEvent* event) override
    {
        Base::focusInEvent(event);
        const Qt::FocusReason reason = event->reason();
        if (focused && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            focused();
    }
};

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return ListViewControl::LeftButton;
    case Qt::RightButton:
        return ListViewControl::RightButton;
    case Qt::MiddleButton:
        return ListViewControl::MiddleButton;
    default:
        return 0;
    }
}

void setUpCommon(QAbstractItemView* view)
{
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
}

} // namespace

ListViewControl::ListViewControl(QWidget* parent)
    : QWidget(parent)
    , m_model(new ListViewModel(this))
    , m_stack(new QStackedLayout(this))
{
    auto* report = new ReportingView<KeepsSideways<QTreeView>>(this);
    auto* icons = new ReportingView<QListView>(this);
    auto pressed = [this](Qt::MouseButton button) { Q_EMIT MouseDown(buttonCode(button)); };
    auto clicked = [this] { Q_EMIT Clicked(); };
    auto doubleClicked = [this] { Q_EMIT DblClick(); };
    auto focused = [this] {
        if (!m_switchingView)
            Q_EMIT GotFocus();
    };
    report->pressed = icons->pressed = pressed;
    report->clicked = icons->clicked = clicked;
    report->doubleClicked = icons->doubleClicked = doubleClicked;
    report->focused = icons->focused = focused;
    report->keyedToAnotherRow = icons->keyedToAnotherRow = clicked;
    m_report = report;
    m_icons = icons;

    setUpCommon(m_report);
    m_report->setRootIsDecorated(false);
    m_report->setItemsExpandable(false);
    m_report->setUniformRowHeights(true);
    m_report->setAllColumnsShowFocus(true);
    m_report->header()->setStretchLastSection(false);
    m_report->header()->setSectionsMovable(false);
    m_report->setModel(m_model);

    setUpCommon(m_icons);
    m_icons->setModel(m_model);
    // Both views share one selection, so changing the view keeps the selected row.
    QItemSelectionModel* own = m_icons->selectionModel();
    m_icons->setSelectionModel(m_report->selectionModel());
    delete own;

    m_stack->addWidget(m_report);
    m_stack->addWidget(m_icons);
    setFocusProxy(m_report);
    SetView(ListViewMode::Report);
}

void ListViewControl::SetImageLists(const ImageList& large, const ImageList& small)
{
    m_model->SetImages(large, small);
}

void ListViewControl::AddColumn(const QString& title, int widthTwips)
{
    m_model->AddColumn(title);
    const int width = FittedColumnWidth(TwipsToPixels(widthTwips), m_report->font());
    if (m_model->Staging())
        m_stagedWidths.append(width);
    else
        m_report->setColumnWidth(m_model->columnCount() - 1, width);
}

void ListViewControl::ClearColumns()
{
    m_model->ClearColumns();
    m_stagedWidths.clear();
}

int ListViewControl::ColumnCount() const
{
    return m_model->columnCount();
}

QString ListViewControl::ColumnTitle(int column) const
{
    return m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

int ListViewControl::ColumnWidth(int column) const
{
    return m_report->columnWidth(column);
}

bool ListViewControl::InsertItem(int position, const ListViewItem& item)
{
    if (position < 1 || position > ItemCount() + 1)
        return false;
    if (!item.key.isEmpty() && m_model->HasKey(item.key))
        return false;
    m_model->Insert(position - 1, item);
    return true;
}

void ListViewControl::ClearItems()
{
    m_model->ClearItems();
}

int ListViewControl::ItemCount() const
{
    return m_model->rowCount();
}

ListViewItem ListViewControl::Item(int row) const
{
    return row >= 0 && row < ItemCount() ? m_model->Item(row) : ListViewItem();
}

std::optional<ListViewItem> ListViewControl::FindItem(const QString& key) const
{
    const int row = m_model->RowOfKey(key);
    if (row < 0)
        return std::nullopt;
    return m_model->Item(row);
}

bool ListViewControl::SelectItem(const QString& key)
{
    const int row = m_model->RowOfKey(key);
    if (row < 0)
        return false;
    const QModelIndex index = m_model->index(row, 0);
    m_report->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_report->scrollTo(index);
    m_icons->scrollTo(index);
    return true;
}

std::optional<ListViewItem> ListViewControl::SelectedItem() const
{
    const QModelIndexList rows = m_report->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return m_model->Item(rows.first().row());
}

void ListViewControl::ClearSelection()
{
    // The current row goes too: its faint band would sit on a row nobody chose,
    // and the arrow keys start again from the top.
    m_report->selectionModel()->clear();
}

QString ListViewControl::SelectedText() const
{
    const std::optional<ListViewItem> item = SelectedItem();
    return item ? item->text : QString();
}

void ListViewControl::SetView(ListViewMode mode)
{
    const bool hadFocus = m_stack->currentWidget() && m_stack->currentWidget()->hasFocus();
    m_mode = mode;
    m_model->SetLargeIcons(mode == ListViewMode::LargeIcons);
    switch (mode) {
    case ListViewMode::LargeIcons:
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWordWrap(true);
        m_icons->setSpacing(12);
        break;
    case ListViewMode::SmallIcons:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWordWrap(false);
        m_icons->setSpacing(8);
        break;
    case ListViewMode::List:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setFlow(QListView::TopToBottom);
        m_icons->setWordWrap(false);
        m_icons->setSpacing(2);
        break;
    case ListViewMode::Report:
        break;
    }
    m_icons->setWrapping(true);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setMovement(QListView::Static);

    // The stack hands the focus on by itself; that is no new focus for the console.
    QWidget* shown = mode == ListViewMode::Report ? static_cast<QWidget*>(m_report) : m_icons;
    m_switchingView = true;
    m_stack->setCurrentWidget(shown);
    setFocusProxy(shown);
    if (hadFocus)
        shown->setFocus(Qt::OtherFocusReason);
    m_switchingView = false;
}

ListViewMode ListViewControl::View() const
{
    return m_mode;
}

void ListViewControl::BeginUpdate()
{
    if (m_model->Staging())
        return;
    m_selectedBeforeUpdate = SelectedItem();
    m_currentBeforeUpdate = m_report->currentIndex();
    m_hadCurrent = m_currentBeforeUpdate.isValid();
    // The row to hold in place: the current one while it is in sight (a
    // click or a double-click in progress is on it), else the top one.
    m_anchor = QPersistentModelIndex();
    if (m_mode == ListViewMode::Report && m_report->isVisible()) {
        const QRect sight = m_report->viewport()->rect();
        const QModelIndex current = m_currentBeforeUpdate;
        m_anchor = sight.intersects(m_report->visualRect(current)) ? current : m_report->indexAt(QPoint(0, 0));
        m_anchorTop = m_report->visualRect(m_anchor).top();
    }
    m_stagedWidths.clear();
    m_model->BeginStaging();
}

void ListViewControl::EndUpdate()
{
    if (!m_model->Staging())
        return;
    if (!m_model->EndStaging()) {
        for (int i = 0; i < m_stagedWidths.size(); ++i)
            m_report->setColumnWidth(i, m_stagedWidths.at(i));
        // Another list starts at its first column, not where the last one was scrolled to.
        m_report->horizontalScrollBar()->setValue(0);
    } else if (m_anchor.isValid()) {
        holdInPlace(m_anchor, m_anchorTop);
    }
    m_stagedWidths.clear();
    // A selected row that went, or that now shows another item, is no longer
    // the one the user chose; a current row that went leaves no band behind
    // on a neighbour.
    const std::optional<ListViewItem> now = SelectedItem();
    const std::optional<ListViewItem>& before = m_selectedBeforeUpdate;
    if (before && (!now || RowIdentity(*now) != RowIdentity(*before) || now->text != before->text))
        ClearSelection();
    else if (m_hadCurrent && !m_currentBeforeUpdate.isValid())
        m_report->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    m_selectedBeforeUpdate.reset();
    m_currentBeforeUpdate = QPersistentModelIndex();
    m_anchor = QPersistentModelIndex();
}

void ListViewControl::holdInPlace(const QModelIndex& row, int top)
{
    // The view lays the changed rows out when asked where one stands.
    const int shift = m_report->visualRect(row).top() - top;
    if (shift == 0)
        return;
    QScrollBar* bar = m_report->verticalScrollBar();
    const int height = m_report->visualRect(row).height();
    if (m_report->verticalScrollMode() == QAbstractItemView::ScrollPerPixel)
        bar->setValue(bar->value() + shift);
    else if (height > 0)
        bar->setValue(bar->value() + shift / height);
}
