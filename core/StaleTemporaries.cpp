#include "core/StaleTemporaries.h"

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

// The folders of the application folder that hold files rewritten whole.
constexpr const char* Folders[] = {"", "/logs", "/users", "/groups", "/users/stats"};

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
    for (const char* place : Folders) {
        const QString folder = ResolvePath(AppPath(QLatin1String(place)));
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
        for (const QFileInfo& file : files) {
            if (!temporary.match(file.fileName()).hasMatch())
                continue;
            if (QFile::remove(file.filePath()))
                removed.append(QLatin1String(place) + QLatin1Char('/') + file.fileName());
        }
    }
    return removed;
}
