#include "core/SmallProcs.h"

#include "core/FileMarks.h"
#include "core/FileNames.h"
#include "core/MessageService.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace ModMain {

bool ValidateString(const QString& text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'
            || u == '#' || u == '@' || u == ' ';
        if (!ok) {
            Messages().message(QStringLiteral("You must enter valid characters A-Z 0-9 _ @ # only"), ProgramTitle(),
                               MessageIcon::None);
            return false;
        }
    }
    return true;
}

QString CDate2Julian(const QDate& date)
{
    return QStringLiteral("%1").arg(date.dayOfYear(), 3, 10, QLatin1Char('0'));
}

QString RMVSlash(const QString& path)
{
    return CollapseSlashes(path.toLower());
}

QString CollapseSlashes(const QString& path)
{
    QString p = path.trimmed();
    p.replace(QLatin1String("///"), QLatin1String("/"));
    p.replace(QLatin1String("//"), QLatin1String("/"));
    return p.trimmed();
}

} // namespace ModMain

namespace {

enum class Kind { Missing, Folder, Other };

// What the path names, a link followed; letter case is ignored only when
// nothing has that very spelling.
Kind LookedUp(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
    const QFileInfo fi(ResolvePath(path));
    return !fi.exists() ? Kind::Missing : fi.isDir() ? Kind::Folder : Kind::Other;
}

// The answers for paths asked about at every FTP event (the account and
// group files, the root folders, the virtual folder map), each kept with the
// file's mark (FileMarks.h): a file cannot come, go or turn into a folder
// without a notice that names it. A link is looked up every time, since its
// target may change elsewhere, and so is a name found in another case.
class RememberedKinds {
public:
    Kind kindOf(const QString& path)
    {
        const std::optional<quint64> mark = FileMark(path);
        if (mark) {
            const QMutexLocker lock(&m_mutex);
            if (const auto it = m_kinds.constFind(path); it != m_kinds.cend() && it->mark == *mark)
                return it->kind;
        }
        struct stat st {};
        const QByteArray spelt = QFile::encodeName(path);
        std::optional<Kind> kept; // the answer when it may be kept
        if (::lstat(spelt.constData(), &st) == 0) {
            if (!S_ISLNK(st.st_mode))
                kept = S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
        } else if (errno == ENOENT && ResolvePath(path) == path) {
            kept = Kind::Missing;
        }
        if (!kept)
            return LookedUp(path);
        if (mark) {
            const QMutexLocker lock(&m_mutex);
            if (m_kinds.size() >= 1024)
                m_kinds.clear();
            m_kinds.insert(path, Remembered{*kept, *mark});
        }
        return *kept;
    }

private:
    struct Remembered {
        Kind kind;
        quint64 mark;
    };
    QMutex m_mutex;
    QHash<QString, Remembered> m_kinds;
};

Kind KindOf(const QString& path)
{
    static RememberedKinds kinds;
    return kinds.kindOf(path);
}

void dropTrailingSlash(QString& path)
{
    // The slash of "/" is the root folder itself, not a trailing one.
    if (path.endsWith(QLatin1Char('/')) && path.size() > 1)
        path.chop(1);
}

} // namespace

bool FolderExistsDroppingSlash(QString& path)
{
    dropTrailingSlash(path);
    return !path.isEmpty() && KindOf(path) == Kind::Folder;
}

bool FileExistsDroppingSlash(QString& path)
{
    dropTrailingSlash(path);
    return !path.isEmpty() && KindOf(path) == Kind::Other;
}

bool FolderExists(const QString& path)
{
    QString copy = path;
    return FolderExistsDroppingSlash(copy);
}

bool FileExists(const QString& path)
{
    QString copy = path;
    return FileExistsDroppingSlash(copy);
}
