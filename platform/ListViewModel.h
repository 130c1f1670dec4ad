#pragma once
// The list view's rows and column titles. One model serves the report view and
// the icon views; only the icon views take the large pictures.
#include "platform/ImageList.h"
#include "platform/ListViewItem.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSet>

class ListViewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void AddColumn(const QString& title);
    void ClearColumns();
    void ClearItems();
    // row is 0-based here.
    void Insert(int row, ListViewItem item);
    const ListViewItem& Item(int row) const;
    // The row holding the key, or -1.
    int RowOfKey(const QString& key) const;
    bool HasKey(const QString& key) const { return m_keys.contains(key); }

    // Between these two calls the model changes without telling its views;
    // the end compares the result with the content at the start, row by row
    // as RowIdentity recognises them, and reports only what differs, so a
    // refill that changes little costs the views little and a row that stays
    // keeps its selection and its place. False when the columns changed: the
    // model was then reset.
    void BeginStaging();
    bool EndStaging();
    bool Staging() const { return m_staging; }

    void SetImages(ImageList large, ImageList small);
    void SetLargeIcons(bool large);

private:
    void picturesChanged();

    QStringList m_titles;
    QList<ListViewItem> m_items;
    QSet<QString> m_keys;
    bool m_staging = false;
    QStringList m_stagedFromTitles;
    QList<ListViewItem> m_stagedFromItems;
    ImageList m_large;
    ImageList m_small;
    bool m_useLarge = false;
};
