// Logout: the session's trend records, the disconnection line, the record
// released and the console's connections refreshed.
#include "session/SessionHandlers.h"

#include "core/FileNames.h"
#include "session/ConsoleState.h"
#include "session/HandlerSupport.h"
#include "session/TrendFiles.h"

namespace {

const char Procedure[] = "IFtpEngineNotify_UserLogout";

TrendReport ReportAt(int step)
{
    return [step](const QString& description) { ReportStep(Procedure, step, description); };
}

} // namespace

void SessionHandlers::writeTrends(FtpUser& User, const UserObj& record)
{
    const QString user = User.UserName();
    const TrendRecord trend = TrendOf(record);
    const QDate today = m_clock().date();
    if (IsSafeName(user))
        AppendTrend(SessionTrendPath(user), trend, ReportAt(4));
    if (!record.Group.isEmpty() && IsSafeName(record.Group))
        AddToDayTrend(GroupDayTrendPath(record.Group, today), trend, ReportAt(5));
    if (!user.trimmed().isEmpty() && IsSafeName(user))
        AddToDayTrend(UserDayTrendPath(user, today), trend, ReportAt(6));
}

void SessionHandlers::IFtpEngineNotify_UserLogout(FtpUser& User)
{
    const std::shared_ptr<UserObj> record = User.SessionObjectAs<UserObj>();
    if (record)
        record->PendingOpCode = PendingOp::None;
    ConsoleState::SelectedItem.clear();

    // A session without a record (never logged in, or refused) has no
    // counters to store; its end is logged without a group of its own.
    if (record)
        writeTrends(User, *record);

    QString text = QStringLiteral("221 User has disconnected");
    if (ConsoleState::AdminLogoffSession != 0 && ConsoleState::AdminLogoffSession == User.SessionId()) {
        ConsoleState::AdminLogoffSession = 0;
        text = QStringLiteral("221 The Administrator has terminated the connection.");
    }
    WriteLogs(User.UserName(), record ? record->Group : QStringLiteral("Unknown"), User.RemoteAddress(), text);

    User.SetSessionData(std::monostate{});
    m_console.RestoreMousePointer();
    m_console.UpdateUserTree();
}
