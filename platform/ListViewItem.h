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

    bool operator==(const ListViewItem&) const = default;
};
