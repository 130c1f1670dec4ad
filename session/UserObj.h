#pragma once
// The session record: what the login found for one session, the session's
// counters and its pending operation. Attached to the engine's FtpUser at
// login and released at logout.
#include "core/PermissionSet.h"
#include "engine/FtpUser.h"

#include <QString>

// What a session's next trace line has to finish, left by the notification
// before it.
namespace PendingOp {
enum : qint16 {
    None = 0,
    Delete = 1,      // a granted delete waits for its reply
    Put = 3,
    Get = 6,
    LoggedIn = 8,    // the first line after the login
    ChangeDir = 9,
    Transfer = 10,   // the transfer handler is running
    Listing = 11,    // a granted listing ended
    Quit = 12,
    Refused = 99     // the next reply belongs to a refused operation
};
}

class UserObj : public SessionObject {
public:
    qint32 Index = 0;
    QString Group;
    PermissionSet Allow; // the account's own flags: Allow.ChangeDir is AllowChangeDir
    QString Description;
    QString Email;
    QString RootFolder;
    bool AdoptGroupCMDs = false;
    bool UseGroupHomeDirectory = false;
    // Counters of this session; 64-bit so that large transfers never overflow.
    qint64 FilesSent = 0;
    qint64 FilesReceived = 0;
    qint64 FilesTransfered = 0;
    qint64 FilesDeleted = 0;
    qint64 BytesDeleted = 0;
    qint64 BytesSent = 0;
    qint64 BytesReceived = 0;
    qint64 BytesTransfered = 0;
    PermissionSet GAllow; // the group's flags: GAllow.ChangeDir is GAllowChangeDir
    QString GRootFolder;
    // Kept per session, so that one session's refusal or delete is never
    // judged by another session's lines.
    qint16 PendingOpCode = PendingOp::None;
    qint64 PendingFileSize = 0;
    // The end-of-listing reply this session's last listing was given; the
    // engine's own text belongs to whichever session listed last.
    QString ListingEndText;
};
