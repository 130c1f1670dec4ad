#include "platform/RowListModel.h"

RowListModel::RowListModel(QStringList titles, QObject* parent)
    : QAbstractTableModel(parent)
    , m_titles(std::move(titles))
{
}

int RowListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RowListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant RowListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return Cell(index.row(), index.column());
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= m_titles.size())
        return {};
    return m_titles.at(section);
}

void RowListModel::Clear()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void RowListModel::Append(const QString& row)
{
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(row);
    endInsertRows();
}

void RowListModel::Append(const QStringList& rows)
{
    if (rows.isEmpty())
        return;
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at + int(rows.size()) - 1);
    m_rows.append(rows);
    endInsertRows();
}

void RowListModel::Shift(const QStringList& rows)
{
    if (rows.isEmpty() || rows.size() > m_rows.size())
        return;
    m_rows.remove(0, rows.size());
    m_rows.append(rows);
    Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, columnCount() - 1), {Qt::DisplayRole});
}

void RowListModel::Remove(int row, int count)
{
    if (row < 0 || count < 1 || row + count > m_rows.size())
        return;
    beginRemoveRows({}, row, row + count - 1);
    m_rows.remove(row, count);
    endRemoveRows();
}

QString RowListModel::Cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    if (column < 0)
        return {};
    // Split when shown: a busy log adds far more rows than it ever shows.
    const QString& text = m_rows.at(row);
    qsizetype start = 0;
    for (int field = 0; field < column; ++field) {
        start = text.indexOf(QLatin1Char('\n'), start);
        if (start < 0)
            return {};
        ++start;
    }
    const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    return text.mid(start, end < 0 ? -1 : end - start);
}
