// Protocol trace lines: which of them reach the logs and in which form, and
// the work the permission checks left for the reply that follows.
#include "session/SessionHandlers.h"

#include "core/AppFiles.h"
#include "core/FileNames.h"
#include "core/TextFile.h"
#include "engine/SharedReplies.h"
#include "session/HandlerSupport.h"
#include "session/PassLine.h"
#include "session/StatCounterFile.h"

namespace {

// A line of the connect greeting other than its first and last ("220-", "220 ").
// The engine traces each line of that reply; the greeting's own text is no event.
bool IsGreetingBody(const FtpEngine& engine, const QString& line)
{
    const QString greeting = engine.ReplyText(FtpEngine::GreetingReply);
    const QLatin1String end("\r\n");
    const qsizetype first = greeting.indexOf(end);
    const qsizetype last = greeting.lastIndexOf(end);
    if (first < 0 || last == first)
        return false;
    // The lines between the first and the last, each looked at in place.
    for (qsizetype at = first + end.size(); at <= last;) {
        const qsizetype next = greeting.indexOf(end, at);
        if (QStringView(greeting).sliced(at, next - at) == line)
            return true;
        at = next + end.size();
    }
    return false;
}

// The text begins with the ASCII word in any letter case; no other character
// changes case into these words' letters.
bool BeginsWithWord(const QString& text, QLatin1String word)
{
    return text.size() >= word.size() && QStringView(text).first(word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

} // namespace

void SessionHandlers::countDeletion(FtpUser& User, UserObj& record)
{
    // Failures here are skipped silently, as every step after the first, and
    // so is a file that held no number.
    QString error;
    const CounterReport silent = [](const QString&) {};
    AddToStatCounter(StatCounterPath(User.UserName(), StatSuffix::DeletedCount), 1, record.FilesDeleted, error,
                     silent);
    AddToStatCounter(StatCounterPath(User.UserName(), StatSuffix::DeletedSize), record.PendingFileSize,
                     record.BytesDeleted, error, silent);
}

void SessionHandlers::IFtpEngineNotify_Debug(FtpUser& User, const QString& Message)
{
    PointerRestorer pointer(m_console);
    const QString user = User.UserName();
    if (user.trimmed().isEmpty() || User.State() == FtpUser::Authorizing) {
        if (user.isEmpty() && IsGreetingBody(FtpEngine1, Message))
            return;
        WriteLogs(user, QString(), User.RemoteAddress(), Message);
        return;
    }
    const std::shared_ptr<UserObj> record = User.SessionObjectAs<UserObj>();
    if (!record)
        return;
    if (BeginsWithWord(Message, QLatin1String("NOOP")) || BeginsWithWord(Message, QLatin1String("200 NOOP")))
        return;
    if (user == QLatin1String("New Connection"))
        return;

    QString line = Message.trimmed();
    qint16& pending = record->PendingOpCode;
    if (pending == PendingOp::Refused) {
        if (record->ListingEndText != FtpReply::accessDenied())
            line = QStringLiteral("550 Access denied");
        pending = PendingOp::None;
    } else {
        if (BeginsWithWord(line, QLatin1String("quit")) && User.State() == FtpUser::Connected)
            pending = PendingOp::Quit;
        if (pending == PendingOp::ChangeDir)
            pending = PendingOp::None;
        if (pending == PendingOp::Delete) {
            pending = PendingOp::None;
            if (!line.startsWith(QLatin1String("550")) && record->PendingFileSize != 0) {
                countDeletion(User, *record);
                record->PendingFileSize = 0;
            }
        } else if (IsPassLine(line)) {
            if (line.size() == 4) {
                const QString text = QStringLiteral("530 Empty password not allowed.");
                User.SendReply(text);
                User.Disconnect();
                WriteLogs(user, QStringLiteral("Unknown"), User.RemoteAddress(), text);
                return;
            }
            line = MaskedPassLine(line);
        } else if (pending == PendingOp::LoggedIn) {
            pending = PendingOp::None;
        } else if (line == QLatin1String("530 No user account exists. Please try again.") && IsSafeName(user)) {
            RemoveFile(AppFiles::UserLog(user));
        }
    }
    WriteLogs(user, record->Group, User.RemoteAddress(), line);
}
