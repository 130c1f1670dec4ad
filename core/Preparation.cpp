#include "core/AppFiles.h"
#include "core/Preparation.h"

#include "core/Accounts.h"
#include "core/AppFolder.h"
#include "core/Config.h"
#include "core/ErrorReporter.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/ProgramLifetime.h"
#include "core/ServerLog.h"
#include "core/SmallProcs.h"
#include "core/StaleTemporaries.h"
#include "core/TextFile.h"

#include <QDir>

namespace ModMain {

namespace {

const QString Where = QuayportProcedure(u"frmSplash", "Form_Activate");

void makeFolder(const QString& path, int step)
{
    if (!QDir().mkpath(path))
        ReportError(QStringLiteral("Path/File access error"), Where, step);
}

void writeFile(const QString& path, const QStringList& lines, int step)
{
    if (const FileOpResult r = WriteLines(path, lines); !r)
        ReportError(r.errorText, Where, step);
}

} // namespace

QStringList DefaultAnonymousAccountLines()
{
    AccountRecord a;
    a.AdoptGroupCMDs = true;
    a.Permissions = PermissionSet::all(true);
    a.UserId = QStringLiteral("anonymous");
    a.Password = QString::fromLatin1(DefaultAnonymousPassword);
    a.Description = QStringLiteral("Default user account.");
    a.Email = QString::fromLatin1(DefaultAnonymousEmail);
    a.Group = QStringLiteral("public");
    a.RootFolder = AppFiles::RootFolder();
    a.UseGroupHomeDirectory = true;
    return AccountFileLines(a);
}

QStringList DefaultPublicGroupLines()
{
    GroupRecord g;
    g.Permissions = PermissionSet::all(true);
    g.RootFolder = AppFiles::RootFolder();
    return GroupFileLines(g, false);
}

void PrepareApplicationFolder()
{
    const QString logs = AppFiles::LogsFolder();
    if (!FolderExists(logs)) {
        // The folder comes first: the log line is written into it.
        makeFolder(logs, 5);
        WriteServerEvent(QStringLiteral("Creating ") + logs, false);
    }
    const QString anonymousLog = AppFiles::AnonymousLog();
    if (!FileExists(anonymousLog))
        writeFile(anonymousLog, {QString::fromLatin1(AnonymousLogHeader)}, 6);

    int step = 7;
    for (const QString& folder :
         {AppFiles::GroupsFolder(), AppFiles::UsersFolder(), AppFiles::StatsFolder(), AppFiles::RootFolder()}) {
        if (!FolderExists(folder)) {
            WriteServerEvent(QStringLiteral("Creating ") + folder, false);
            makeFolder(folder, step);
        }
        ++step;
    }

    if (!FileExists(AppFiles::ConfigFile()))
        FirstRun = true;

    const QString anonymous = AppFiles::AccountFile(QStringLiteral("anonymous"));
    if (!FileExists(anonymous)) {
        WriteServerEvent(QStringLiteral("Creating ") + anonymous, false);
        writeFile(anonymous, DefaultAnonymousAccountLines(), 12);
    }
    const QString publicGroup = AppFiles::GroupFile(QStringLiteral("public"));
    if (!FileExists(publicGroup)) {
        WriteServerEvent(QStringLiteral("Creating ") + publicGroup, false);
        writeFile(publicGroup, DefaultPublicGroupLines(), 13);
    }

    // Nothing writes yet: a rewrite's temporary is a leftover of a process
    // that ended in the middle of one.
    for (const QString& removed : RemoveStaleTemporaries())
        WriteServerEvent(QStringLiteral("Removed leftover temporary ") + AppPath(removed), false);
}

void LoadSettingsAndRemapRoot(const std::function<void(const QString&)>& onRemapped)
{
    if (FirstRun)
        return;
    LoadConfig();
    if (FolderExistsDroppingSlash(ServerConfig.ServerRoot))
        return;
    // The first console line may make the console, whose start-up can end the
    // program (settings it cannot load): then nothing of the remap follows.
    WriteServerEvent(QStringLiteral("*** WARNING *** ") + ServerConfig.ServerRoot + QStringLiteral(" is missing."),
                     true);
    if (ProgramLifetime::Ending())
        return;
    const QString root = AppFiles::RootFolder();
    WriteServerEvent(QStringLiteral("*** REMAPPING SERVER ROOT FOLDER TO: ") + root, true);
    if (ProgramLifetime::Ending())
        return;
    ServerConfig.ServerRoot = root;
    SaveConfig();
    if (onRemapped)
        onRemapped(root);
}

} // namespace ModMain
