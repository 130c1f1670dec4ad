#pragma once
// The program's process-wide values, kept in one place with a reset for tests.
#include "core/PermissionSet.h"

#include <QString>

namespace ModMain {

// The nine settings, stored in "Config.txt".
struct ServerSettings {
    QString IP;
    QString Port;
    QString IdleTimeout;
    bool Put0Byte = false;
    QString ServerRoot;
    QString Greeting;
    QString LoggedOnMessage;
    bool AllowAnonymous = false;
    bool StartServer = false;
};

// The account dialogs' working copy of one account.
struct AccountWorkingCopy {
    QString Group;
    PermissionSet Permissions;
    QString Description;
    QString Email;
    QString RootFolder;
    bool AdoptGroupCommands = false;
    bool UseGroupHomeDirectory = false;
};

// One group in memory.
struct GroupWorkingCopy {
    PermissionSet Permissions;
    QString RootFolder;
};

extern ServerSettings ServerConfig;
extern QString VersionText;
extern bool FirstRun;
extern AccountWorkingCopy CurrentAccount;
extern GroupWorkingCopy CurrentGroup;

// The key of every enciphered value the program stores.
inline constexpr char ProgramKeyText[] = "Quiet harbour lamps glow over 7 green copper barges now.";

// The program's version as "major.minor.revision".
QString ProgramVersionText();

// Puts every process-wide value back to its start value.
void ResetProcessState();

} // namespace ModMain
