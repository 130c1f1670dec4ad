#include "core/StaleTemporaries.h"

#include "core/AppFolder.h"
#include "core/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Per folder of the application folder, the names the program rewrites
// whole; their temporaries add a dot and six random letters or digits.
struct Rewritten {
    const char* folder;
    const char* names;
};

constexpr Rewritten Places[] = {
    {"", "config\\.txt|virtmap\\.dat"},
    {"/logs", "anonymous_passwords\\.txt"},
    {"/users", "U_[^.]+"},
    {"/groups", "G_[^.]+"},
    {"/users/stats", "[^/]+\\.txt"},
};

} // namespace

QStringList RemoveStaleTemporaries()
{
    QStringList removed;
    for (const Rewritten& place : Places) {
        const QRegularExpression temporary(
            QStringLiteral("^(%1)\\.[A-Za-z0-9]{6}$").arg(QLatin1String(place.names)),
            QRegularExpression::CaseInsensitiveOption);
        const QString folder = ResolvePath(AppPath(QLatin1String(place.folder)));
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
        for (const QFileInfo& file : files) {
            if (!temporary.match(file.fileName()).hasMatch())
                continue;
            if (QFile::remove(file.filePath()))
                removed.append(QLatin1String(place.folder) + QLatin1Char('/') + file.fileName());
        }
    }
    return removed;
}
