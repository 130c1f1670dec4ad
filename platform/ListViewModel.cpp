#include "platform/ListViewModel.h"

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

    // Rows kept at the top and at the bottom are recognised by their keys;
    // the rows between them are replaced.
    const int oldCount = int(m_items.size());
    const int newCount = int(items.size());
    int top = 0;
    while (top < oldCount && top < newCount && m_items.at(top).key == items.at(top).key)
        ++top;
    int bottom = 0;
    while (bottom < oldCount - top && bottom < newCount - top
           && m_items.at(oldCount - 1 - bottom).key == items.at(newCount - 1 - bottom).key)
        ++bottom;

    auto update = [&](int at, int from, int count) {
        int first = -1, last = -1;
        for (int i = 0; i < count; ++i) {
            if (m_items.at(at + i) == items.at(from + i))
                continue;
            m_items[at + i] = items.at(from + i);
            if (first < 0)
                first = at + i;
            last = at + i;
        }
        if (first >= 0 && !m_titles.isEmpty())
            Q_EMIT dataChanged(index(first, 0), index(last, int(m_titles.size()) - 1));
    };
    update(0, 0, top);
    if (oldCount - top - bottom > 0) {
        beginRemoveRows({}, top, oldCount - bottom - 1);
        m_items.remove(top, oldCount - top - bottom);
        endRemoveRows();
    }
    if (newCount - top - bottom > 0) {
        beginInsertRows({}, top, newCount - bottom - 1);
        m_items.insert(top, newCount - top - bottom, ListViewItem());
        for (int i = top; i < newCount - bottom; ++i)
            m_items[i] = items.at(i);
        endInsertRows();
    }
    update(newCount - bottom, newCount - bottom, bottom);
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
