#pragma once
// Icons addressed by number from 1, as the old image lists were. A list has a
// nominal size that views bound to it use as their icon size.
#include <QIcon>
#include <QList>
#include <QSize>

class ImageList {
public:
    ImageList() = default;
    explicit ImageList(QSize size);

    // Appends an icon and returns its index (the first is 1).
    int Add(const QIcon& icon);
    // A null icon for an index outside 1..Count().
    QIcon Icon(int index) const;
    int Count() const;
    QSize IconSize() const;

private:
    QSize m_size{16, 16};
    QList<QIcon> m_icons;
};
