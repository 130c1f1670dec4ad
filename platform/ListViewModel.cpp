#include "platform/ListViewModel.h"

int ListViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int ListViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const ListViewItem& item = m_items.at(index.row());
    const int column = index.column();
    if (role == Qt::DisplayRole) {
        if (column == 0)
            return item.text;
        return column - 1 < item.subItems.size() ? item.subItems.at(column - 1) : QString();
    }
    if (role == Qt::DecorationRole && column == 0) {
        const QIcon icon = m_useLarge ? m_large.Icon(item.icon) : m_small.Icon(item.smallIcon);
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    return {};
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= m_titles.size())
        return {};
    return m_titles.at(section);
}

void ListViewModel::AddColumn(const QString& title)
{
    const int at = int(m_titles.size());
    beginInsertColumns({}, at, at);
    m_titles.append(title);
    endInsertColumns();
}

void ListViewModel::ClearColumns()
{
    if (m_titles.isEmpty())
        return;
    beginRemoveColumns({}, 0, int(m_titles.size()) - 1);
    m_titles.clear();
    endRemoveColumns();
}

void ListViewModel::ClearItems()
{
    if (m_items.isEmpty())
        return;
    beginResetModel();
    m_items.clear();
    endResetModel();
}

void ListViewModel::Insert(int row, ListViewItem item)
{
    beginInsertRows({}, row, row);
    m_items.insert(row, std::move(item));
    endInsertRows();
}

const ListViewItem& ListViewModel::Item(int row) const
{
    return m_items.at(row);
}

int ListViewModel::RowOfKey(const QString& key) const
{
    for (int row = 0; row < m_items.size(); ++row)
        if (m_items.at(row).key == key)
            return row;
    return -1;
}

void ListViewModel::SetImages(ImageList large, ImageList small)
{
    m_large = std::move(large);
    m_small = std::move(small);
    picturesChanged();
}

void ListViewModel::SetLargeIcons(bool large)
{
    if (m_useLarge == large)
        return;
    m_useLarge = large;
    picturesChanged();
}

void ListViewModel::picturesChanged()
{
    if (!m_items.isEmpty() && !m_titles.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_items.size()) - 1, 0), {Qt::DecorationRole});
}
