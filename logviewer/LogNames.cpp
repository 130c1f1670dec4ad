#include "logviewer/LogNames.h"

QString NewLogName(const QString& path, const QDateTime& when)
{
    QString stem = path;
    if (stem.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        stem.chop(4);
    return stem + QLatin1Char('_') + when.toString(QStringLiteral("MM-dd-yyyy")) + QLatin1Char('_')
        + when.toString(QStringLiteral("HHmmss")) + QStringLiteral(".txt");
}
