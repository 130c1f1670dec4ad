// Granting or refusing each file operation by the account's or the group's
// flag, blanking the listing of a session that may not list, and telling
// whether a session may learn a file's size and time.
#include "session/SessionHandlers.h"

#include "session/HandlerSupport.h"

namespace {

using Flag = bool PermissionSet::*;

struct Rule {
    Flag flag;
    qint16 grantedCode;
};

// Per operation: the flag that grants it and the code left on grant.
Rule RuleFor(int op)
{
    static const Rule rules[] = {
        {&PermissionSet::ChangeDir, PendingOp::ChangeDir}, {&PermissionSet::DeleteFile, PendingOp::Delete},
        {&PermissionSet::GetFile, PendingOp::Get},         {&PermissionSet::MakeDir, PendingOp::None},
        {&PermissionSet::PutFile, PendingOp::Put},         {&PermissionSet::RemoveDir, PendingOp::None},
        {&PermissionSet::RenameFile, PendingOp::None},
    };
    return rules[op];
}

// Only True grants: the group's flag when the account adopts the group's
// commands, else the account's own.
bool Granted(const UserObj& r, Flag flag)
{
    return (r.AdoptGroupCMDs ? r.GAllow : r.Allow).*flag;
}

} // namespace

std::shared_ptr<UserObj> SessionHandlers::checkPermission(FtpUser& User, Operation op, const char* procedure,
                                                          bool& Cancel)
{
    const std::shared_ptr<UserObj> record = User.SessionObjectAs<UserObj>();
    if (!record) {
        // No accepted login: refuse.
        ReportStep(procedure, 1, NoSessionRecordText());
        Cancel = true;
        return nullptr;
    }
    record->PendingOpCode = PendingOp::None;
    const Rule rule = RuleFor(int(op));
    if (!Granted(*record, rule.flag)) {
        record->PendingOpCode = PendingOp::Refused;
        Cancel = true;
        return nullptr;
    }
    record->PendingOpCode = rule.grantedCode;
    return record;
}

void SessionHandlers::IFtpEngineNotify_ChangeDir(FtpUser& User, const QString&, bool& Cancel, QString&)
{
    checkPermission(User, Operation::ChangeDir, "IFtpEngineNotify_ChangeDir", Cancel);
}

void SessionHandlers::IFtpEngineNotify_MakeDir(FtpUser& User, const QString&, bool& Cancel, QString&)
{
    checkPermission(User, Operation::MakeDir, "IFtpEngineNotify_MakeDir", Cancel);
}

void SessionHandlers::IFtpEngineNotify_RemoveDir(FtpUser& User, const QString&, bool& Cancel, QString&)
{
    checkPermission(User, Operation::RemoveDir, "IFtpEngineNotify_RemoveDir", Cancel);
}

void SessionHandlers::IFtpEngineNotify_RenameFile(FtpUser& User, const QString&, const QString&, bool& Cancel,
                                                  QString&)
{
    checkPermission(User, Operation::RenameFile, "IFtpEngineNotify_RenameFile", Cancel);
}

void SessionHandlers::IFtpEngineNotify_PutFile(FtpUser& User, QString&, bool& Cancel, QString&)
{
    checkPermission(User, Operation::PutFile, "IFtpEngineNotify_PutFile", Cancel);
}

void SessionHandlers::IFtpEngineNotify_GetFile(FtpUser& User, QString&, bool& Cancel, QString&)
{
    checkPermission(User, Operation::GetFile, "IFtpEngineNotify_GetFile", Cancel);
}

void SessionHandlers::IFtpEngineNotify_DeleteFile(FtpUser& User, QString& Filename, bool& Cancel, QString&)
{
    const std::shared_ptr<UserObj> record
        = checkPermission(User, Operation::DeleteFile, "IFtpEngineNotify_DeleteFile", Cancel);
    if (!record)
        return;
    // The very file the engine is about to delete, as the engine resolves the
    // argument; an unreadable size counts as 0.
    record->PendingFileSize = std::max<qint64>(RegularFileSize(User.PhysicalPath(Filename)), 0);
}

// SIZE and MDTM: a file's size and time only for a session that may list
// folders or get files. A question, not an operation: the pending code and
// the logs stay as they are, and the engine's reply is logged as sent.
void SessionHandlers::IFtpEngineNotify_FileDetails(FtpUser& User, const QString&, bool& Cancel, QString&)
{
    const std::shared_ptr<UserObj> record = User.SessionObjectAs<UserObj>();
    if (!record || !(Granted(*record, &PermissionSet::Dir) || Granted(*record, &PermissionSet::GetFile)))
        Cancel = true;
}

void SessionHandlers::IFtpEngineNotify_DirItem(FtpUser& User, QString& Fileinfo, qint32 FilesLeft)
{
    const std::shared_ptr<UserObj> record = User.SessionObjectAs<UserObj>();
    if (!record) {
        ReportStep("IFtpEngineNotify_DirItem", 1, NoSessionRecordText());
        Fileinfo.clear();
        return;
    }
    if (!Granted(*record, &PermissionSet::Dir)) {
        record->PendingOpCode = PendingOp::Refused;
        Fileinfo.clear();
    }
    // A refusal still pending blanks every entry of this session's listing.
    if (record->PendingOpCode == PendingOp::Refused)
        Fileinfo.clear();
    if (FilesLeft == 0) {
        if (record->PendingOpCode != PendingOp::Refused) {
            record->PendingOpCode = PendingOp::Listing;
            record->ListingEndText = QStringLiteral("226 Listing complete.");
        } else {
            record->ListingEndText = QStringLiteral("550 Access denied.");
        }
        FtpEngine1.SetReplyText(FtpEngine::ListingEndReply, record->ListingEndText);
    }
}
