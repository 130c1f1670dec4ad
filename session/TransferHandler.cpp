// A finished transfer: the empty upload removed (while the setting says so)
// and the transfer counted in the user's counter files and the session.
#include "session/SessionHandlers.h"

#include "core/FileMarks.h"
#include "core/ProcessState.h"
#include "core/ProgramError.h"
#include "core/ServerLog.h"
#include "session/HandlerSupport.h"
#include "session/StatCounterFile.h"

namespace {

const char Procedure[] = "IFtpEngineNotify_TransferFinished";

// A counter that cannot be updated ends the notification; the engine gets
// the failure, with the step it happened at, and reports it.
void Update(const QString& user, const char* suffix, qint64 amount, qint64& field, int step)
{
    QString error;
    const auto report = [step](const QString& text) { ReportStep(Procedure, step, text); };
    if (!AddToStatCounter(StatCounterPath(user, suffix), amount, field, error, report))
        throw ProgramError(75, FrmMainProcedure(Procedure), error, step);
}

} // namespace

void SessionHandlers::IFtpEngineNotify_TransferFinished(FtpUser& User, const QString& Filename, qint32 Direction,
                                                        bool Successful)
{
    PointerRestorer pointer(m_console);
    const std::shared_ptr<UserObj> record = User.SessionObjectAs<UserObj>();
    if (!record) {
        ReportStep(Procedure, 1, NoSessionRecordText());
        return;
    }
    UserObj& r = *record;
    const QString user = User.UserName();

    // What the transfer moved where the engine knows it (a resumed transfer
    // moves less than the file holds), else the file's size. 64-bit: a large
    // upload is never taken for an empty one.
    const qint64 fileSize = std::max<qint64>(RegularFileSize(Filename), 0);
    const qint64 moved = User.LastTransferBytes();
    r.PendingFileSize = moved >= 0 ? moved : fileSize;
    r.PendingOpCode = PendingOp::Transfer;

    const bool upload = Direction == 0;
    const bool download = Direction == 1;
    if (upload && Successful && r.PendingFileSize == 0 && fileSize == 0 && ModMain::ServerConfig.Put0Byte) {
        // The engine removes the very file the upload wrote, not whatever
        // the name holds by now.
        User.RemoveEmptyUpload();
        NoteOwnFileChange();
        ModMain::WriteServerLog(r.Group, user, User.RemoteAddress(),
                                QStringLiteral("Removing 0 byte file ") + FileNameBytes::shown(Filename), true);
    }
    if (upload && Successful) {
        Update(user, StatSuffix::SentCount, 1, r.FilesSent, 5);
        Update(user, StatSuffix::SentSize, r.PendingFileSize, r.BytesSent, 5);
    }
    if (download && Successful) {
        Update(user, StatSuffix::ReceivedCount, 1, r.FilesReceived, 6);
        Update(user, StatSuffix::ReceivedSize, r.PendingFileSize, r.BytesReceived, 6);
    }
    if (Successful) {
        Update(user, StatSuffix::TransferedCount, 1, r.FilesTransfered, 7);
        Update(user, StatSuffix::TransferedSize, r.PendingFileSize, r.BytesTransfered, 7);
    }
    r.PendingOpCode = PendingOp::None;
    r.PendingFileSize = 0;
}
