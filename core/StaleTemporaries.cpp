#include "core/StaleTemporaries.h"

#include "core/AppFiles.h"
#include "core/AppFolder.h"
#include "core/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

constexpr char Marker[] = ".quayport-rewrite-";
constexpr int RandomLength = 6;

} // namespace

QString RewriteTemporaryPath(const QString& path)
{
    static constexpr char Characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    QString temporary = path.left(slash + 1) + QLatin1Char('.') + path.mid(slash + 1) + QLatin1String(Marker);
    for (int i = 0; i < RandomLength; ++i)
        temporary += QLatin1Char(Characters[QRandomGenerator::global()->bounded(int(sizeof Characters - 1))]);
    return temporary;
}

QStringList RemoveStaleTemporaries()
{
    static const QRegularExpression temporary(QStringLiteral("^\\..+%1[A-Za-z0-9]{%2}$")
                                                  .arg(QRegularExpression::escape(QLatin1String(Marker)))
                                                  .arg(RandomLength));
    QStringList removed;
    // The folders that hold files rewritten whole.
    const QString app = AppFolder();
    for (const QString& path : {app, AppFiles::LogsFolder(), AppFiles::UsersFolder(), AppFiles::GroupsFolder(),
                                AppFiles::StatsFolder()}) {
        const QString place = path.mid(app.size());
        const QString folder = ResolvePath(path);
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
        for (const QFileInfo& file : files) {
            if (!temporary.match(file.fileName()).hasMatch())
                continue;
            if (QFile::remove(file.filePath()))
                removed.append(place + QLatin1Char('/') + file.fileName());
        }
    }
    return removed;
}
