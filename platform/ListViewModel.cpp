#include "platform/ListViewModel.h"

#include "platform/RowMatching.h"

#include <utility>

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
    if (m_staging) {
        m_titles.append(title);
        return;
    }
    const int at = int(m_titles.size());
    beginInsertColumns({}, at, at);
    m_titles.append(title);
    endInsertColumns();
}

void ListViewModel::ClearColumns()
{
    if (m_titles.isEmpty())
        return;
    if (m_staging) {
        m_titles.clear();
        return;
    }
    beginRemoveColumns({}, 0, int(m_titles.size()) - 1);
    m_titles.clear();
    endRemoveColumns();
}

void ListViewModel::ClearItems()
{
    if (m_items.isEmpty())
        return;
    m_keys.clear();
    if (m_staging) {
        m_items.clear();
        return;
    }
    beginResetModel();
    m_items.clear();
    endResetModel();
}

void ListViewModel::Insert(int row, ListViewItem item)
{
    if (!item.key.isEmpty())
        m_keys.insert(item.key);
    if (m_staging) {
        m_items.insert(row, std::move(item));
        return;
    }
    beginInsertRows({}, row, row);
    m_items.insert(row, std::move(item));
    endInsertRows();
}

void ListViewModel::BeginStaging()
{
    if (m_staging)
        return;
    m_staging = true;
    m_stagedFromTitles = m_titles; // shared until the first change
    m_stagedFromItems = m_items;
}

bool ListViewModel::EndStaging()
{
    if (!m_staging)
        return true;
    m_staging = false;
    QStringList titles = std::exchange(m_titles, std::move(m_stagedFromTitles));
    QList<ListViewItem> items = std::exchange(m_items, std::move(m_stagedFromItems));
    m_stagedFromTitles = {};
    m_stagedFromItems = {};
    if (titles != m_titles) {
        beginResetModel();
        m_titles = std::move(titles);
        m_items = std::move(items);
        endResetModel();
        return false;
    }

    // A row found again by its identity stays the same row for the views:
    // the gone rows are removed and the new ones inserted around it, a run
    // at a time, and it changes in place.
    QStringList oldIds, newIds;
    oldIds.reserve(m_items.size());
    newIds.reserve(items.size());
    for (const ListViewItem& item : std::as_const(m_items))
        oldIds.append(RowIdentity(item));
    for (const ListViewItem& item : std::as_const(items))
        newIds.append(RowIdentity(item));
    const QList<int> kept = MatchRows(oldIds, newIds);

    for (int end = int(m_items.size()); end > 0;) {
        if (kept.at(end - 1) >= 0) {
            --end;
            continue;
        }
        int start = end - 1;
        while (start > 0 && kept.at(start - 1) < 0)
            --start;
        beginRemoveRows({}, start, end - 1);
        m_items.remove(start, end - start);
        endRemoveRows();
        end = start;
    }
    QList<bool> stays(items.size(), false);
    for (int row : kept) {
        if (row >= 0)
            stays[row] = true;
    }
    const int count = int(items.size());
    for (int row = 0; row < count;) {
        int end = row;
        while (end < count && !stays.at(end))
            ++end;
        if (end == row) {
            ++row;
            continue;
        }
        beginInsertRows({}, row, end - 1);
        m_items.insert(row, end - row, ListViewItem());
        for (int i = row; i < end; ++i)
            m_items[i] = std::move(items[i]);
        endInsertRows();
        row = end;
    }
    for (int row = 0; row < count;) {
        int end = row;
        for (; end < count && stays.at(end) && !(m_items.at(end) == items.at(end)); ++end)
            m_items[end] = std::move(items[end]);
        if (end == row) {
            ++row;
            continue;
        }
        if (!m_titles.isEmpty())
            Q_EMIT dataChanged(index(row, 0), index(end - 1, int(m_titles.size()) - 1));
        row = end;
    }
    return true;
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
