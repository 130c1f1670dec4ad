#pragma once
// A folder picker reads its folders on another thread, and sorts the rows that arrive a moment
// after they come, which moves its selection. Watching the picker's model from before the event
// loop delivers any rows (right after the picker is made), this tells when the folders were read
// and the rows sorted: what a check of where the selection stands, or a picture, waits for.
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTreeView>
#include <QWidget>

class FolderReading : public QObject {
public:
    explicit FolderReading(const QWidget& picker) : m_model(picker.findChild<QFileSystemModel*>())
    {
        connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& folder) { m_read.insert(folder); });
        connect(m_model, &QFileSystemModel::rowsInserted, this, [this] { m_unsorted = true; });
        connect(m_model, &QFileSystemModel::layoutChanged, this, [this] { m_unsorted = false; });
    }

    // Every row that has arrived was sorted since.
    bool Sorted() const { return !m_unsorted; }
    // The folders from the root down to the one that holds path, which a picker opens to show it.
    static QStringList Above(const QString& path)
    {
        QStringList folders;
        QDir up = QFileInfo(path).dir();
        do
            folders.prepend(up.absolutePath());
        while (!up.isRoot() && up.cdUp());
        return folders;
    }
    // Each folder was read and the rows are sorted.
    bool Settled(const QStringList& folders) const
    {
        for (const QString& folder : folders)
            if (!m_read.contains(folder))
                return false;
        return Sorted();
    }

private:
    QFileSystemModel* m_model;
    QSet<QString> m_read;
    bool m_unsorted = false;
};

// The picker's selection is shown whole in its view.
inline bool SelectionInView(const QWidget& picker)
{
    const auto* view = picker.findChild<QTreeView*>();
    return view->currentIndex().isValid() && view->viewport()->rect().contains(view->visualRect(view->currentIndex()));
}
