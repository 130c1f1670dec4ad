// Granting or refusing each file operation by the account's or the group's
// flag, blanking the listing of a session that may not list, and telling
// whether a session may learn a file's size and time.
#include "session/SessionHandlers.h"

#include "engine/SharedReplies.h"
#include "session/HandlerSupport.h"

namespace {

using Flag = bool PermissionSet::*;

struct Rule {
    Flag flag;          // grants the operation
    qint16 grantedCode; // left pending on grant
    const char* procedure;
};

// Each operation's rule, by its name.
Rule RuleFor(SessionHandlers::Operation op)
{
    using Op = SessionHandlers::Operation;
    using P = PermissionSet;
    switch (op) {
    case Op::ChangeDir: return {&P::ChangeDir, PendingOp::ChangeDir, "IFtpEngineNotify_ChangeDir"};
    case Op::DeleteFile: return {&P::DeleteFile, PendingOp::Delete, "IFtpEngineNotify_DeleteFile"};
    case Op::GetFile: return {&P::GetFile, PendingOp::Get, "IFtpEngineNotify_GetFile"};
    case Op::MakeDir: return {&P::MakeDir, PendingOp::None, "IFtpEngineNotify_MakeDir"};
    case Op::PutFile: return {&P::PutFile, PendingOp::Put, "IFtpEngineNotify_PutFile"};
    case Op::RemoveDir: return {&P::RemoveDir, PendingOp::None, "IFtpEngineNotify_RemoveDir"};
    case Op::RenameFile: return {&P::RenameFile, PendingOp::None, "IFtpEngineNotify_RenameFile"};
    }
    Q_UNREACHABLE();
}

// Only True grants: the group's flag when the account adopts the group's
// commands, else the account's own.
bool Granted(const UserObj& r, Flag flag)
{
    return (r.AdoptGroupCMDs ? r.GAllow : r.Allow).*flag;
}

} // namespace

std::shared_ptr<UserObj> SessionHandlers::checkPermission(FtpUser& User, Operation op, bool& Cancel)
{
    const Rule rule = RuleFor(op);
    const std::shared_ptr<UserObj> record = User.SessionObjectAs<UserObj>();
    if (!record) {
        // No accepted login: refuse.
        ReportStep(rule.procedure, 1, NoSessionRecordText());
        Cancel = true;
        return nullptr;
    }
    record->PendingOpCode = PendingOp::None;
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
    checkPermission(User, Operation::ChangeDir, Cancel);
}

void SessionHandlers::IFtpEngineNotify_MakeDir(FtpUser& User, const QString&, bool& Cancel, QString&)
{
    checkPermission(User, Operation::MakeDir, Cancel);
}

void SessionHandlers::IFtpEngineNotify_RemoveDir(FtpUser& User, const QString&, bool& Cancel, QString&)
{
    checkPermission(User, Operation::RemoveDir, Cancel);
}

void SessionHandlers::IFtpEngineNotify_RenameFile(FtpUser& User, const QString&, const QString&, bool& Cancel,
                                                  QString&)
{
    checkPermission(User, Operation::RenameFile, Cancel);
}

void SessionHandlers::IFtpEngineNotify_PutFile(FtpUser& User, QString&, bool& Cancel, QString&)
{
    checkPermission(User, Operation::PutFile, Cancel);
}

void SessionHandlers::IFtpEngineNotify_GetFile(FtpUser& User, QString&, bool& Cancel, QString&)
{
    checkPermission(User, Operation::GetFile, Cancel);
}

void SessionHandlers::IFtpEngineNotify_DeleteFile(FtpUser& User, QString& Filename, bool& Cancel, QString&)
{
    const std::shared_ptr<UserObj> record = checkPermission(User, Operation::DeleteFile, Cancel);
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
            record->ListingEndText = FtpReply::listingComplete();
        } else {
            record->ListingEndText = FtpReply::accessDenied();
        }
        FtpEngine1.SetReplyText(FtpEngine::ListingEndReply, record->ListingEndText);
    }
}
