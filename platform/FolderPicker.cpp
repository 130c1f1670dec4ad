#include "platform/FolderPicker.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
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

FolderPicker::FolderPicker(QWidget* parent)
    : QWidget(parent)
    , m_caption(new QLabel(this))
    , m_model(new QFileSystemModel(this))
    , m_view(new QTreeView(this))
    , m_root(MyComputer)
{
    m_caption->setVisible(false);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_view->setHeaderHidden(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_caption);
    layout->addWidget(m_view, 1);
    showRoot();
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
    showSelection();
}

QString FolderPicker::SelectedFolder() const
{
    return m_selected;
}

void FolderPicker::SetOption12(bool) {}

void FolderPicker::Method13() {}

void FolderPicker::showRoot()
{
    const bool whole = isWholeMachine(m_root);
    const QString root = whole ? QDir::rootPath() : cleanAbsolute(m_root);
    const bool exists = !m_root.isEmpty() && QFileInfo(root).isDir();

    // A missing root offers nothing rather than the whole machine.
    QAbstractItemModel* wanted = exists ? m_model : nullptr;
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
    m_view->setRootIndex(whole ? QModelIndex() : m_model->index(root));
}

void FolderPicker::showSelection()
{
    m_selecting = true;
    const QString path = m_selected.isEmpty() ? QString() : cleanAbsolute(m_selected);
    if (m_view->model() == m_model && inTree(path) && QFileInfo(path).isDir()) {
        const QModelIndex index = m_model->index(path);
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
    const QString path = m_model->filePath(picked.first());
    if (inTree(path))
        m_selected = path;
}

bool FolderPicker::inTree(const QString& path) const
{
    if (path.isEmpty())
        return false;
    if (isWholeMachine(m_root))
        return QDir::isAbsolutePath(path);
    const QString root = cleanAbsolute(m_root);
    return path.startsWith(root == QLatin1String("/") ? root : root + QLatin1Char('/')) && path != root;
}
