#include "platform/ImageList.h"

ImageList::ImageList(QSize size)
    : m_size(size)
{
}

int ImageList::Add(const QIcon& icon)
{
    m_icons.append(icon);
    return int(m_icons.size());
}

QIcon ImageList::Icon(int index) const
{
    return index >= 1 && index <= m_icons.size() ? m_icons.at(index - 1) : QIcon();
}

int ImageList::Count() const
{
    return int(m_icons.size());
}

QSize ImageList::IconSize() const
{
    return m_size;
}
