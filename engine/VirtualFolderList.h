#pragma once
// Virtual folders: a folder named Name shown inside the client path
// VirtualPath, mapped onto the physical folder RealFolder.
#include <QList>
#include <QString>

struct VirtualFolder {
    QString Name;
    QString VirtualPath;
    QString RealFolder;
};

class VirtualFolderList {
public:
    const VirtualFolder& Add(const QString& name, const QString& virtualPath, const QString& realFolder)
    {
        m_items.append(VirtualFolder{name, virtualPath, realFolder});
        return m_items.constLast();
    }
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    const VirtualFolder& Item(int index) const { return m_items.at(index); }
    const QList<VirtualFolder>& items() const { return m_items; }

private:
    QList<VirtualFolder> m_items;
};
