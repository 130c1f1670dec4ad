#include "platform/FolderPicker.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <memory>

namespace {

bool isWholeMachine(const QString& root)
{
    return root.compare(FolderPicker::MyComputer, Qt::CaseInsensitive) == 0;
}

QString cleanAbsolute(const QString& path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

} // namespace

// Shows the tree root as the one row of its own parent, so the root itself can
// be picked while its siblings stay out of the tree.
class FolderPicker::RootRowFilter final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    // An empty root shows everything.
    void setRoot(QFileSystemModel* model, const QString& root)
    {
        m_root = root;
        m_rootParent = root.isEmpty() ? QPersistentModelIndex() : QPersistentModelIndex(model->index(root).parent());
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        if (m_root.isEmpty() || parent != m_rootParent)
            return true;
        const auto* model = static_cast<const QFileSystemModel*>(sourceModel());
        return model->filePath(model->index(row, 0, parent)) == m_root;
    }

private:
    QString m_root;
    QPersistentModelIndex m_rootParent;
};

FolderPicker::FolderPicker(QWidget* parent)
    : QWidget(parent)
    , m_caption(new QLabel(this))
    , m_model(new QFileSystemModel(this))
    , m_filter(new RootRowFilter(this))
    , m_view(new QTreeView(this))
    , m_root(MyComputer)
{
    m_caption->setVisible(false);
    // A caption longer than the picker is narrow goes on to a second line rather than being cut.
    m_caption->setWordWrap(true);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_filter->setSourceModel(m_model);
    m_view->setHeaderHidden(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_caption);
    layout->addWidget(m_view, 1);
    showRoot();
    // The model reads folders lazily and adds their rows later; until the user
    // takes over, keep the given selection in view as rows arrive.
    auto follow = [this] {
        if (m_followSelection && !m_followPending) {
            m_followPending = true;
            QTimer::singleShot(0, this, [this] {
                m_followPending = false;
                if (m_followSelection && m_view->currentIndex().isValid())
                    m_view->scrollTo(m_view->currentIndex());
            });
        }
    };
    connect(m_model, &QFileSystemModel::rowsInserted, this, follow);
    connect(m_model, &QFileSystemModel::rowsRemoved, this, follow); // rows going above it move it too
    // The view lays its rows out later still; the scroll range tells when it has.
    connect(m_view->verticalScrollBar(), &QScrollBar::rangeChanged, this, follow);
    connect(m_model, &QFileSystemModel::layoutChanged, this, follow);
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this, follow](const QString& loaded) {
        const QString selected = m_selected.isEmpty() ? QString() : cleanAbsolute(m_selected);
        if (m_followSelection && !selected.isEmpty() && selected.startsWith(loaded))
            showSelection(); // expands the folders on the path as they become known
        follow();
    });
    connect(m_view->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { m_followSelection = false; });
}

void FolderPicker::SetHeaderCaption(const QString& caption)
{
    m_caption->setText(caption);
    m_caption->setVisible(!caption.isEmpty());
}

QString FolderPicker::HeaderCaption() const
{
    return m_caption->text();
}

void FolderPicker::SetTreeRoot(const QString& path)
{
    m_root = path;
    showRoot();
    showSelection();
}

QString FolderPicker::TreeRoot() const
{
    return m_root;
}

void FolderPicker::SetSelectedFolder(const QString& path)
{
    m_selected = path;
    m_followSelection = true;
    showSelection();
}

QString FolderPicker::SelectedFolder() const
{
    return m_selected;
}

void FolderPicker::SetOption12(bool) {}

void FolderPicker::Method13() {}

void FolderPicker::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A hidden view cannot scroll; bring the selection into view once laid out.
    QTimer::singleShot(0, this, [this] {
        if (m_followSelection && m_view->currentIndex().isValid())
            m_view->scrollTo(m_view->currentIndex());
    });
}

void FolderPicker::showRoot()
{
    const bool whole = isWholeMachine(m_root);
    const QString root = whole ? QDir::rootPath() : cleanAbsolute(m_root);
    const bool exists = !m_root.isEmpty() && QFileInfo(root).isDir();

    // A missing root offers nothing rather than the whole machine.
    QAbstractItemModel* wanted = exists ? m_filter : nullptr;
    if (m_view->model() != wanted || !wanted) {
        std::unique_ptr<QItemSelectionModel> old(m_view->selectionModel());
        m_view->setModel(wanted);
        if (wanted) {
            for (int column = 1; column < wanted->columnCount(); ++column)
                m_view->hideColumn(column);
            connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FolderPicker::userPicked);
        }
    }
    if (!exists)
        return;
    m_model->setRootPath(root);
    m_filter->setRoot(m_model, whole ? QString() : root);
    if (whole) {
        m_view->setRootIndex(QModelIndex());
        return;
    }
    // The root is the one row below its parent, opened to show what lies in it.
    const QModelIndex rootRow = m_filter->mapFromSource(m_model->index(root));
    m_view->setRootIndex(rootRow.parent());
    m_view->expand(rootRow);
}

void FolderPicker::showSelection()
{
    m_selecting = true;
    const QString path = m_selected.isEmpty() ? QString() : cleanAbsolute(m_selected);
    if (m_view->model() == m_filter && inTree(path) && QFileInfo(path).isDir()) {
        const QModelIndex index = m_filter->mapFromSource(m_model->index(path));
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            m_view->expand(up);
        m_view->setCurrentIndex(index);
        m_view->scrollTo(index);
    } else {
        m_view->clearSelection();
    }
    m_selecting = false;
}

void FolderPicker::userPicked()
{
    if (m_selecting)
        return;
    const QModelIndexList picked = m_view->selectionModel()->selectedRows();
    if (picked.isEmpty())
        return;
    const QString path = m_model->filePath(m_filter->mapToSource(picked.first()));
    // The model re-announces the selection as rows come and go; only another
    // folder is the user's own choice.
    if (!m_selected.isEmpty() && path == cleanAbsolute(m_selected))
        return;
    if (inTree(path)) {
        m_selected = path;
        m_followSelection = false;
    }
}

bool FolderPicker::inTree(const QString& path) const
{
    if (path.isEmpty())
        return false;
    if (isWholeMachine(m_root))
        return QDir::isAbsolutePath(path);
    const QString root = cleanAbsolute(m_root);
    // The root itself is in its own tree.
    return path == root || path.startsWith(root == QLatin1String("/") ? root : root + QLatin1Char('/'));
}
