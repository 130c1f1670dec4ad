#pragma once
// Account files users/U_<name> (36 lines) and group files groups/G_<name>
// (29 lines), and the small operations on them.

#include "core/AppFiles.h"
#include "core/PermissionSet.h"

#include <QString>
#include <QStringList>
#include <functional>

// One account as its file holds it; the password and description in clear.
struct AccountRecord {
    bool AdoptGroupCMDs = false;
    PermissionSet Permissions;
    QString UserId;
    QString Password;
    QString Description;
    QString Email;
    QString Group;
    QString RootFolder;
    bool UseGroupHomeDirectory = false;
};

// One group as its file holds it.
struct GroupRecord {
    PermissionSet Permissions;
    QString RootFolder;
};

// The account file's line numbers (1-based) that readers use.
namespace AccountLine {
enum : int { AdoptGroupCMDs = 1, FirstFlag = 2, UserId = 10, Password = 11, Description = 12, Email = 13,
             Group = 14, RootFolder = 15, UseGroupHome = 16 };
}
// The 1-based lines of a group file: the eight permission flags, then the root folder.
namespace GroupLine {
enum : int { FirstFlag = 1, RootFolder = 9 };
}


// The 36 lines of an account file; password and description enciphered.
QStringList AccountFileLines(const AccountRecord& account);
// The 29 lines of a group file; the reserved lines plain or enciphered.
QStringList GroupFileLines(const GroupRecord& group, bool encipherReserved);

// Why a line of an account or group file gave no value. A damaged file (a
// line too long) is told once, and reading ends there.
enum class LineFault { PastEnd, TypeMismatch, Damaged };
QString LineFaultText(LineFault fault);
// Told of each line (1-based) that gives no value; false ends the reading there.
using LineFaultHandler = std::function<bool(int line, LineFault fault)>;

// Lines 1-16 of an account file. A line that gives no value leaves its field
// empty or False; nothing is read when the file cannot be opened.
struct AccountFileRead {
    bool Opened = false;
    QString ErrorText; // why it could not be opened
    bool Damaged = false;
    AccountRecord Account;
    unsigned LinesRead = 0; // bit n-1 set when line n gave its value
    bool lineRead(int line) const { return LinesRead & (1u << (line - 1)); }
};
AccountFileRead ReadAccountFile(const QString& path, const LineFaultHandler& fault);

// Lines 1-9 of a group file, with the same rules.
struct GroupFileRead {
    bool Opened = false;
    QString ErrorText; // why it could not be opened
    bool Damaged = false;
    GroupRecord Group;
    unsigned LinesRead = 0; // bit n-1 set when line n gave its value
    bool lineRead(int line) const { return LinesRead & (1u << (line - 1)); }
};
GroupFileRead ReadGroupFile(const QString& path, const LineFaultHandler& fault);

// The names of the listed account or group files (U_<name>, G_<name>): each
// file name trimmed, without its first two characters; empty names skipped.
QStringList AccountNames();
QStringList GroupNames();

namespace ModMain {

// The group named on line 14 of the account file of exactly that user name
// (letter case ignored); empty for a blank or unsafe name, a missing file or
// an unreadable line. Failures are reported under the given procedure name.
// The name reports of the plain call are made under; built once.
const QString& GetUserGroupProcedure();
QString GetUserGroup(const QString& userName, const QString& reportAs = GetUserGroupProcedure());
// Loads a group file into CurrentGroup; a missing file changes nothing.
bool GetGroup(const QString& groupName);
// Deletes the nameless account and group files (users/U_, groups/G_).
void CheckUG();

} // namespace ModMain
