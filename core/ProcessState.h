#pragma once
// The program's process-wide values and the services installed for the whole
// process, held in one record and put back to their start in one call.
// Layers above keep their own on top of it (the console's window state in
// session/ConsoleState.h, the console window in console/ConsoleProcess.h),
// each with one reset that also resets what lies below.
#include "core/PermissionSet.h"

#include <QString>
#include <functional>
#include <memory>

class ConsoleLogList;
class ErrorReporter;
class MessageService;

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

// How the program ends (core/ProgramLifetime.h).
struct LifetimeState {
    bool Ending = false;
    int Status = 0;
    std::function<void(int)> Terminator; // empty: leave every event loop
};

struct ProcessState {
    // The documented values.
    ServerSettings ServerConfig;
    QString VersionText;
    bool FirstRun = false;
    AccountWorkingCopy CurrentAccount;
    GroupWorkingCopy CurrentGroup;

    // The services installed for the whole process. An empty one stands for
    // the default: boxes and reports on standard error, no console log.
    std::shared_ptr<ErrorReporter> Reporter;
    std::shared_ptr<MessageService> Messages;
    std::function<ConsoleLogList*()> ConsoleLog;
    QString Title = QStringLiteral("Quayport"); // the program's title for boxes without one
    LifetimeState Lifetime;
};

ProcessState& Process();

// The documented names of the values, as the rest of the program uses them.
extern ServerSettings& ServerConfig;
extern QString& VersionText;
extern bool& FirstRun;
extern AccountWorkingCopy& CurrentAccount;
extern GroupWorkingCopy& CurrentGroup;

// The key of every enciphered value the program stores.
inline constexpr char ProgramKeyText[] = "Quiet harbour lamps glow over 7 green copper barges now.";

// The program's version as "major.minor.revision".
QString ProgramVersionText();

// Puts the process back as at its start, for tests: every value and service
// above, and what core keeps beside them (the installed cipher key, the clock
// of the remembered file states and those states). VersionText is the
// program's version, as the program sets it first thing.
void ResetProcessState();

} // namespace ModMain
