#include "core/AppFiles.h"
#include "core/ServerLog.h"

#include "core/Accounts.h"
#include "core/AnonymousAddresses.h"
#include "core/AnsiCodec.h"
#include "core/ConsoleLog.h"
#include "core/ErrorReporter.h"
#include "core/FileNames.h"
#include "core/LocalClock.h"
#include "core/LogAppend.h"
#include "core/LogRecord.h"
#include "core/ProcedureName.h"
#include "core/SmallProcs.h"
#include "core/TextFile.h"

#include <QDateTime>

namespace ModMain {

bool WriteServerLog(const QString& group, const QString& user, const QString& clientAddress, const QString& message,
                    bool showOnConsole)
{
    static const QString where = QuayportProcedure(u"ModMain", "WriteServerLog");
    const QDateTime now = LocalNow();
    if (user.trimmed().toLower() == QLatin1String("unknown"))
        return false;

    const QString logPath = AppFiles::ServerLog();
    if (LogNeedsRotation(logPath)) {
        const QDateTime at = LocalNow();
        const QString target = ResolvePath(logPath) + QLatin1Char('_') + RotationStamp(at) + QStringLiteral(".txt");
        if (const FileOpResult r = RenameNoReplace(logPath, target); !r)
            ReportError(r.errorText, where, 3);
    }

    const LogRecord record = MakeLogRecord(now, user, group, clientAddress, message, GetUserGroupProcedure());

    const FileOpResult written = AppendLogRecord(logPath, record);
    if (!written)
        ReportError(written.errorText, where, 5);

    if (showOnConsole) {
        if (ConsoleLogList* list = ConsoleLog())
            AppendConsoleRow(*list, ConsoleRow(record.Date, record.Time, clientAddress, user, message), 4);
    }
    return bool(written);
}

bool WriteServerEvent(const QString& message, bool showOnConsole)
{
    const QString server = QStringLiteral("server");
    return WriteServerLog(server, server, server, message, showOnConsole);
}

void WriteAnonymousLog(const QString& address)
{
    static const QString where = QuayportProcedure(u"ModMain", "WriteAnonymousLog");
    const QString path = AppFiles::AnonymousLog();
    const QString entry = OneLineField(address);
    const QString key = entry.toUpper().trimmed();
    RecordedAddresses& recorded = AnonymousAddresses();

    const bool existed = FileExists(path);
    if (existed) {
        QString error;
        const std::optional<bool> seen = recorded.Contains(path, key, error);
        if (!seen) {
            ReportError(error, where, 2);
            return;
        }
        if (*seen)
            return;
    }
    const QByteArray line = ToAnsi(entry) + "\r\n";
    qint64 sizeAfter = -1;
    if (const FileOpResult r = AppendMeasured(path, line, sizeAfter); !r)
        ReportError(r.errorText, where, 3);
    recorded.Appended(path, key, existed, line.size(), sizeAfter);
}

} // namespace ModMain
