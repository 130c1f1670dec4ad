#include "core/LogRecord.h"

#include "core/Accounts.h"
#include "core/AnsiCodec.h"
#include "core/LogAppend.h"

namespace {

// Two or four fixed-width digits: the format parser of QDateTime::toString is
// most of the cost of a record's date and time. Years past 9999 and invalid
// dates still take that way.
void append(QString& out, int value, int width)
{
    const qsizetype at = out.size();
    out.resize(at + width);
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[at + i] = QLatin1Char(char('0' + value % 10));
}

// Three numbers of the given widths, the separator between them ('\0': none).
QString fields(int a, int aWidth, int b, int bWidth, int c, int cWidth, char separator)
{
    QString out;
    out.reserve(aWidth + bWidth + cWidth + 2);
    append(out, a, aWidth);
    if (separator)
        out += QLatin1Char(separator);
    append(out, b, bWidth);
    if (separator)
        out += QLatin1Char(separator);
    append(out, c, cWidth);
    return out;
}

bool plain(const QDateTime& when)
{
    return when.isValid() && when.date().year() >= 0 && when.date().year() <= 9999;
}

} // namespace

QString LogDate(const QDateTime& when)
{
    if (!plain(when))
        return when.toString(QStringLiteral("MM-dd-yyyy"));
    const QDate d = when.date();
    return fields(d.month(), 2, d.day(), 2, d.year(), 4, '-');
}

QString LogTime(const QDateTime& when)
{
    if (!plain(when))
        return when.toString(QStringLiteral("HH:mm:ss"));
    const QTime t = when.time();
    return fields(t.hour(), 2, t.minute(), 2, t.second(), 2, ':');
}

QString RotationStamp(const QDateTime& when)
{
    if (!plain(when))
        return when.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    const QDate d = when.date();
    const QTime t = when.time();
    return fields(d.year(), 4, d.month(), 2, d.day(), 2, '\0') + QLatin1Char('_')
        + fields(t.hour(), 2, t.minute(), 2, t.second(), 2, '\0');
}

LogRecord MakeLogRecord(const QDateTime& when, const QString& user, const QString& group, const QString& address,
                        const QString& message, const QString& reportAs)
{
    const auto blank = [](const QString& field) { return field.trimmed().isEmpty(); };
    LogRecord record;
    record.Date = LogDate(when);
    record.Time = LogTime(when);
    record.User = blank(user) ? QStringLiteral("New Connection") : user;
    record.Group = group;
    if (blank(group)) {
        record.Group = ModMain::GetUserGroup(user, reportAs).trimmed();
        if (record.Group.isEmpty())
            record.Group = QStringLiteral("Unknown");
    }
    record.ClientAddress = blank(address) ? QStringLiteral("0.0.0.0") : address;
    record.Message = message;
    return record;
}

QByteArray FormatLogRecord(const LogRecord& r)
{
    const QString* fields[] = {&r.Date, &r.Time, &r.User, &r.Group, &r.ClientAddress, &r.Message};
    qsizetype size = 0;
    for (const QString* f : fields)
        size += f->size() + 2;
    // One pass into one buffer: three of these go out with every FTP event.
    QByteArray out(size, Qt::Uninitialized);
    char* at = out.data();
    for (const QString* f : fields) {
        for (const QChar c : *f)
            *at++ = (c == QLatin1Char('\r') || c == QLatin1Char('\n')) ? ' ' : AnsiByte(c);
        *at++ = '\r';
        *at++ = '\n';
    }
    return out;
}

FileOpResult AppendLogRecord(const QString& path, const LogRecord& record)
{
    return AppendToFile(path, FormatLogRecord(record));
}

bool LogNeedsRotation(const QString& path)
{
    return LogLength(path) > LogRotationLimit;
}

QString ConsoleRow(const QString& date, const QString& time, const QString& address, const QString& user,
                   const QString& message)
{
    QString row;
    row.reserve(date.size() + time.size() + address.size() + user.size() + message.size() + 4);
    for (const QString* field : {&date, &time, &address, &user, &message}) {
        if (field != &date)
            row += QLatin1Char('\n');
        row += *field;
    }
    return row;
}
