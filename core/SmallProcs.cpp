#include "core/SmallProcs.h"

#include "core/FileNames.h"
#include "core/MessageService.h"

#include <QFile>
#include <QFileInfo>
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

// The type of what the path names in exactly that spelling; no value when
// nothing does, and the letter-case look-up has to decide.
std::optional<mode_t> ModeAsSpelt(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return st.st_mode;
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
    if (path.isEmpty())
        return false;
    if (const std::optional<mode_t> mode = ModeAsSpelt(path))
        return S_ISDIR(*mode);
    return QFileInfo(ResolvePath(path)).isDir();
}

bool FileExistsDroppingSlash(QString& path)
{
    dropTrailingSlash(path);
    if (path.isEmpty())
        return false;
    if (const std::optional<mode_t> mode = ModeAsSpelt(path))
        return !S_ISDIR(*mode);
    const QFileInfo fi(ResolvePath(path));
    return fi.exists() && !fi.isDir();
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
