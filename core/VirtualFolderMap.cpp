#include "session/VirtualFolderMap.h"

#include "core/AppFolder.h"
#include "core/SmallProcs.h"
#include "core/TextCipher.h"
#include "core/TextFile.h"

QList<VirtualFolderRecord> ReadVirtualFolderMap(const std::function<void()>& reportMissingLine)
{
    QList<VirtualFolderRecord> records;
    const QString path = AppPath(QStringLiteral("/VirtMap.dat"));
    if (!FileExists(path))
        return records;
    LineReader reader(path);
    for (int i = 0; i < 4; ++i) {
        if (!reader.readLine())
            reportMissingLine();
    }
    while (!reader.atEnd()) {
        QString fields[4];
        bool whole = true;
        for (QString& field : fields) {
            if (const std::optional<QString> line = reader.readLine()) {
                field = ModMain::DeCipher(*line);
            } else {
                reportMissingLine();
                whole = false;
            }
        }
        if (whole)
            records.append(VirtualFolderRecord{fields[0], fields[1], fields[2], fields[3]});
    }
    return records;
}

std::optional<QString> VirtualPathUnderHome(QString home, QString source)
{
    if (!home.endsWith(QLatin1Char('/')))
        home += QLatin1Char('/');
    if (!source.endsWith(QLatin1Char('/')))
        source += QLatin1Char('/');
    if (source.left(home.size()).compare(home, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QString rest = source.mid(home.size());
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (rest.trimmed().isEmpty())
        return QStringLiteral("/");
    if (!rest.startsWith(QLatin1Char('/')))
        rest.prepend(QLatin1Char('/'));
    return rest;
}
