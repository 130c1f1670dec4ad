#include "session/PassLine.h"

bool IsPassLine(const QString& line)
{
    return line.startsWith(QLatin1String("PASS"), Qt::CaseInsensitive);
}

QString MaskedPassLine(const QString& line)
{
    if (line.size() <= 4)
        return line;
    return QStringLiteral("PASS ") + QString(line.size() - 5, QLatin1Char('*'));
}
