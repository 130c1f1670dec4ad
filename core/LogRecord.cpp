#include "core/LogRecord.h"

#include "core/AnsiCodec.h"

QString LogDate(const QDateTime& when)
{
    return when.toString(QStringLiteral("MM-dd-yyyy"));
}

QString LogTime(const QDateTime& when)
{
    return when.toString(QStringLiteral("HH:mm:ss"));
}

QString RotationStamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyyMMdd_HHmmss"));
}

QByteArray FormatLogRecord(const LogRecord& r)
{
    QByteArray out;
    for (const QString* f : {&r.Date, &r.Time, &r.User, &r.Group, &r.ClientAddress, &r.Message}) {
        out += ToAnsi(OneLineField(*f));
        out += "\r\n";
    }
    return out;
}

FileOpResult AppendLogRecord(const QString& path, const LogRecord& record)
{
    return AppendToFile(path, FormatLogRecord(record));
}

bool LogNeedsRotation(const QString& path)
{
    return FileLength(path) > LogRotationLimit;
}

QString ConsoleRow(const QString& date, const QString& time, const QString& address, const QString& user,
                   const QString& message)
{
    return QStringList{date, time, address, user, message}.join(QLatin1Char('\n'));
}
