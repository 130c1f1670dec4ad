#include "core/FileNames.h"

#include "core/FolderListing.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool matchAt(const QString& name, qsizetype n, const QString& pattern, qsizetype p)
{
    while (p < pattern.size()) {
        const QChar pc = pattern.at(p);
        if (pc == QLatin1Char('*')) {
            while (p < pattern.size() && pattern.at(p) == QLatin1Char('*'))
                ++p;
            if (p == pattern.size())
                return true;
            for (qsizetype k = n; k <= name.size(); ++k) {
                if (matchAt(name, k, pattern, p))
                    return true;
            }
            return false;
        }
        if (n >= name.size())
            return false;
        if (pc != QLatin1Char('?') && pc.toCaseFolded() != name.at(n).toCaseFolded())
            return false;
        ++n;
        ++p;
    }
    return n == name.size();
}

} // namespace

QString ResolvePath(const QString& path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const bool absolute = path.startsWith(QLatin1Char('/'));
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    // When the folder exists as spelt, so does every folder above it: only
    // the last name needs looking up.
    QString folder = path;
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    qsizetype exactParts = 0;
    if (slash > 0 && !parts.isEmpty() && QFileInfo::exists(folder.left(slash)))
        exactParts = parts.size() - 1;
    QString current = absolute ? QStringLiteral("/") : QString();
    bool walking = true;
    qsizetype index = 0;
    for (const QString& part : parts) {
        QString next = part;
        if (walking && index++ >= exactParts && part != QLatin1String(".") && part != QLatin1String("..")) {
            const QString probe = current.isEmpty() ? part : (current.endsWith(QLatin1Char('/')) ? current + part : current + QLatin1Char('/') + part);
            // The whole path is known to be missing, unless a final "/" made it so.
            const bool knownMissing = exactParts > 0 && index == parts.size() && !path.endsWith(QLatin1Char('/'));
            if (knownMissing || !QFileInfo::exists(probe)) {
                const QString found = FindIgnoringCase(current.isEmpty() ? QStringLiteral(".") : current, part);
                if (found.isEmpty())
                    walking = false; // below a missing component nothing exists
                else
                    next = found;
            }
        }
        if (current.isEmpty())
            current = next;
        else if (current.endsWith(QLatin1Char('/')))
            current += next;
        else
            current += QLatin1Char('/') + next;
    }
    if (path.endsWith(QLatin1Char('/')) && !current.endsWith(QLatin1Char('/')))
        current += QLatin1Char('/');
    return current;
}

bool IsSafeName(const QString& name)
{
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == '/' || u == '\\' || u == '*' || u == '?')
            return false;
    }
    return true;
}

bool WildcardMatch(const QString& name, const QString& pattern)
{
    if (matchAt(name, 0, pattern, 0))
        return true;
    // "name.*" also takes a name without any extension.
    if (pattern.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')))
        return matchAt(name, 0, pattern.left(pattern.size() - 2), 0);
    return false;
}

QStringList ListFiles(const QString& folder, const QString& pattern)
{
    QDir dir(ResolvePath(folder));
    QStringList out;
    const QFileInfoList infos = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& fi : infos) {
        const QString name = fi.fileName();
        if (!name.startsWith(QLatin1Char('.')) && fi.isFile() && WildcardMatch(name, pattern))
            out.append(name);
    }
    std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return out;
}
