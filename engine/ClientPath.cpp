#include "engine/ClientPath.h"

#include <QDir>
#include <QStringList>


namespace {
QStringList components(const QString& base, const QString& argument)
{
    QStringList parts;
    auto walk = [&parts](const QString& path) {
        QString p = path;
        p.replace(QLatin1Char('\\'), QLatin1Char('/'));
        for (const QString& c : p.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            if (c == QLatin1String("."))
                continue;
            if (c == QLatin1String("..")) {
                if (!parts.isEmpty())
                    parts.removeLast();
                continue;
            }
            parts.append(c);
        }
    };
    const bool absolute = argument.startsWith(QLatin1Char('/')) || argument.startsWith(QLatin1Char('\\'));
    if (!absolute)
        walk(base);
    walk(argument);
    return parts;
}

bool within(const QString& child, const QString& base)
{
    if (base == QLatin1String("/"))
        return child.startsWith(QLatin1Char('/'));
    return child == base || (child.startsWith(base) && child.at(base.size()) == QLatin1Char('/'));
}

bool validName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}
} // namespace

namespace ClientPath {
QString resolve(const QString& cwd, const QString& argument)
{
    return QLatin1Char('/') + components(cwd, argument).join(QLatin1Char('/'));
}

QString parent(const QString& clientPath)
{
    const qsizetype slash = clientPath.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : clientPath.left(slash);
}

QString name(const QString& clientPath)
{
    return clientPath.mid(clientPath.lastIndexOf(QLatin1Char('/')) + 1);
}

QString quoted(const QString& clientPath)
{
    QString q = clientPath;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace ClientPath

PathMap::PathMap(const QString& home, const QList<VirtualFolder>& sessionFolders,
                 const QList<VirtualFolder>& serverFolders)
    : m_home(home.isEmpty() ? QString() : QDir::cleanPath(home))
{
    for (const VirtualFolder& f : sessionFolders)
        add(f);
    for (const VirtualFolder& f : serverFolders)
        add(f);
}

void PathMap::add(const VirtualFolder& folder)
{
    if (!validName(folder.Name) || folder.RealFolder.isEmpty())
        return;
    QString path = ClientPath::resolve(QStringLiteral("/"), folder.VirtualPath);
    path = path == QLatin1String("/") ? path + folder.Name : path + QLatin1Char('/') + folder.Name;
    for (const Mount& m : std::as_const(m_mounts))
        if (m.clientPath == path)
            return; // the session's own folder wins over a server-wide one of the same place
    m_mounts.append(Mount{path, QDir::cleanPath(folder.RealFolder)});
}

PathMap::Target PathMap::map(const QString& clientPath) const
{
    Target t;
    t.clientPath = clientPath;
    const Mount* best = nullptr;
    for (const Mount& m : m_mounts)
        if (within(clientPath, m.clientPath) && (!best || m.clientPath.size() > best->clientPath.size()))
            best = &m;
    const QString rest = best ? clientPath.mid(best->clientPath.size()) : clientPath;
    t.base = best ? best->realFolder : m_home;
    t.isMountPoint = best ? rest.isEmpty() : clientPath == QLatin1String("/");
    if (t.base.isEmpty())
        return t;
    t.below = rest == QLatin1String("/") ? QString() : rest;
    if (rest.isEmpty() || rest == QLatin1String("/"))
        t.physical = t.base;
    else if (t.base == QLatin1String("/"))
        t.physical = rest;
    else
        t.physical = t.base + rest;
    return t;
}

QList<PathMap::Mount> PathMap::mountsIn(const QString& clientFolder) const
{
    QList<Mount> found;
    for (const Mount& m : m_mounts)
        if (ClientPath::parent(m.clientPath) == clientFolder)
            found.append(m);
    return found;
}
