// The per-event logs: the server log, the group's log and the user's log,
// and the console row of each event.
#include "session/SessionHandlers.h"

#include "core/Accounts.h"
#include "core/AppFiles.h"
#include "core/ConsoleLog.h"
#include "core/FileNames.h"
#include "core/LogAppend.h"
#include "core/LogRecord.h"
#include "core/TextFile.h"
#include "session/HandlerSupport.h"
#include "session/PassLine.h"

namespace {

const char Procedure[] = "WriteLogs";

// Where a failed read of the user's group is reported.
const QString& groupProcedure()
{
    static const QString procedure = FrmMainProcedure("GetUserGroup");
    return procedure;
}

bool IsUnknown(const QString& name)
{
    // Ignoring case as lower-casing would: no other character lower-cases
    // into these letters but the Kelvin sign, which both take for "k".
    return name.compare(QLatin1String("unknown"), Qt::CaseInsensitive) == 0;
}

// The log's size after the append, -1 when nothing was appended.
qint64 Append(const QString& path, const QByteArray& record, int step)
{
    qint64 size = -1;
    if (const FileOpResult r = AppendMeasured(path, record, size); !r)
        ReportStep(Procedure, step, r.errorText);
    return size;
}

// Moves a log past the size limit to <name>_<YYYYMMDD>_<HHMMSS>.txt. The size
// is the one the append left, or unknown (-1) for a log this event skipped.
void Rotate(const QString& path, const QDateTime& now, qint64 size)
{
    if (path.isEmpty() || !(size >= 0 ? size > LogRotationLimit : LogNeedsRotation(path)))
        return;
    QString base = ResolvePath(path);
    if (base.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        base.chop(4);
    const QString target = base + QLatin1Char('_') + RotationStamp(now) + QStringLiteral(".txt");
    if (const FileOpResult r = RenameNoReplace(path, target); !r)
        ReportStep(Procedure, 8, r.errorText);
}

} // namespace

QString SessionHandlers::GetUserGroup(const QString& userName) const
{
    return ModMain::GetUserGroup(userName, groupProcedure());
}

void SessionHandlers::WriteLogs(QString user, QString group, QString clientAddress, QString text)
{
    user = user.trimmed();
    group = group.trimmed();
    clientAddress = clientAddress.trimmed();
    text = text.trimmed();

    if (group.isEmpty() && user == QLatin1String("anonymous"))
        group = QStringLiteral("public");

    for (const char* silent : {"220", "230-", "221 Good", "230 Date"}) {
        if (text.startsWith(QLatin1String(silent)))
            return;
    }
    if (text.startsWith(QLatin1String("230 ")))
        text = QStringLiteral("230 ") + user + QStringLiteral(" login ok.");
    if (IsPassLine(text))
        text = MaskedPassLine(text);

    const QDateTime now = m_clock();
    const LogRecord record = MakeLogRecord(now, user, group, clientAddress, text, groupProcedure());
    group = record.Group;

    const QByteArray bytes = FormatLogRecord(record);
    const QString serverLog = AppFiles::ServerLog();
    const qint64 serverSize = Append(serverLog, bytes, 6);

    const QString groupLog = AppFiles::GroupLog(group);
    qint64 groupSize = -1, userSize = -1;
    if (!groupLog.isEmpty() && !IsUnknown(group))
        groupSize = Append(groupLog, bytes, 7);
    const QString userLog = AppFiles::UserLog(user);
    if (!userLog.isEmpty() && !IsUnknown(user) && !IsUnknown(group))
        userSize = Append(userLog, bytes, 7);

    Rotate(serverLog, now, serverSize);
    Rotate(groupLog, now, groupSize);
    Rotate(userLog, now, userSize);

    if (ConsoleLogList* list = ConsoleLog()) {
        const QString rowUser = user.isEmpty() ? QStringLiteral("New connection") : user;
        AppendConsoleRow(*list, ConsoleRow(record.Date, record.Time, record.ClientAddress, rowUser, text), 4);
    }
}
