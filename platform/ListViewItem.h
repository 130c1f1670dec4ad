#pragma once
// One row of the list view: its text is the first column, the sub-items the
// columns after it.
#include <QString>
#include <QStringList>

struct ListViewItem {
    QString key;
    QString text;
    int icon = 0;      // index in the large image list
    int smallIcon = 0; // index in the small image list
    QStringList subItems;
    qint64 tag = 0;
    // What the row stands for (a file, a session) where its key is only its
    // place in the list: a refill keeps the row with the same identity as the
    // same row, wherever its key moved. Empty: the key is its identity.
    QString identity;

    bool operator==(const ListViewItem&) const = default;
};

// The identity by which a refill recognises the row again.
inline QString RowIdentity(const ListViewItem& item)
{
    return item.identity.isEmpty() ? QLatin1Char('k') + item.key : QLatin1Char('i') + item.identity;
}
