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
    m_rows.append(row.split(QLatin1Char('\n')));
    endInsertRows();
}

void RowListModel::Append(const QStringList& rows)
{
    if (rows.isEmpty())
        return;
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at + int(rows.size()) - 1);
    m_rows.reserve(at + rows.size());
    for (const QString& row : rows)
        m_rows.append(row.split(QLatin1Char('\n')));
    endInsertRows();
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
    const QStringList& fields = m_rows.at(row);
    return column >= 0 && column < fields.size() ? fields.at(column) : QString();
}
