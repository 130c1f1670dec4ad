// Login: the anonymous rule, the account and group files, the root folders,
// the virtual folders and the session record; and the command notifications.
#include "session/SessionHandlers.h"

#include "core/Accounts.h"
#include "core/AppFiles.h"
#include "core/Config.h"
#include "core/ErrorTexts.h"
#include "core/FileNames.h"
#include "core/Flags.h"
#include "core/ProcessState.h"
#include "core/ServerLog.h"
#include "core/SmallProcs.h"
#include "core/TextCipher.h"
#include "core/TextFile.h"
#include "core/VirtualFolderMap.h"
#include "session/HandlerSupport.h"

namespace {

const char Procedure[] = "IFtpEngineNotify_UserLogin";

QString Folded(const QString& text)
{
    return text.toLower().trimmed();
}

QString WithFinalSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// Every line that gives no value is reported at the step, and reading goes on.
LineFaultHandler ReportEachAt(int step)
{
    return [step](int, LineFault fault) {
        ReportStep(Procedure, step, LineFaultText(fault));
        return true;
    };
}

// The first of the lines that gave no value; 0 when all did.
template <class Read>
int FirstMissing(const Read& read, std::initializer_list<int> lines)
{
    for (int line : lines) {
        if (!read.lineRead(line))
            return line;
    }
    return 0;
}

} // namespace

void SessionHandlers::refuseLogin(FtpUser& User, bool& Cancel, QString& Message, const QString& text,
                                  const QString& logGroup, bool disconnect)
{
    Message = text;
    User.SendReply(Message);
    Cancel = true;
    if (disconnect)
        User.Disconnect();
    else
        User.SetSessionData(QStringLiteral("kill"));
    WriteLogs(User.UserName(), logGroup, User.RemoteAddress(), Message);
}

int SessionHandlers::readAccount(const QString& path, UserObj& r, QString& userId,
                                 std::optional<QString>& password)
{
    const int step = 5;
    const AccountFileRead read = ReadAccountFile(path, ReportEachAt(step));
    if (!read.Opened) {
        ReportStep(Procedure, step, read.ErrorText);
        return AccountLine::AdoptGroupCMDs;
    }
    const AccountRecord& a = read.Account;
    r.AdoptGroupCMDs = a.AdoptGroupCMDs;
    r.Allow = a.Permissions;
    userId = a.UserId;
    if (read.lineRead(AccountLine::Password))
        password = a.Password;
    r.Description = a.Description;
    r.Email = a.Email;
    r.Group = a.Group;
    // A blank root names no folder (it would be the machine's root); it is remapped like a missing one.
    if (read.lineRead(AccountLine::RootFolder) && !a.RootFolder.trimmed().isEmpty())
        r.RootFolder = WithFinalSlash(a.RootFolder);
    r.UseGroupHomeDirectory = a.UseGroupHomeDirectory;
    // Every flag and the root folder decide what the session may do and see.
    using namespace AccountLine;
    return FirstMissing(read, {AdoptGroupCMDs, FirstFlag, FirstFlag + 1, FirstFlag + 2, FirstFlag + 3, FirstFlag + 4,
                               FirstFlag + 5, FirstFlag + 6, FirstFlag + 7, RootFolder, UseGroupHome});
}

int SessionHandlers::readGroup(UserObj& r, QString& path)
{
    const int step = 8;
    // A group name that cannot be one file name names no group file.
    path = GroupFilePath(r.Group).trimmed();
    const GroupFileRead read = ReadGroupFile(IsSafeName(r.Group.trimmed()) ? path : QString(), ReportEachAt(step));
    if (!read.Opened) {
        ReportStep(Procedure, step, read.ErrorText);
    } else {
        r.GAllow = read.Group.Permissions;
        if (read.lineRead(GroupLine::RootFolder) && !read.Group.RootFolder.trimmed().isEmpty())
            r.GRootFolder = WithFinalSlash(read.Group.RootFolder);
    }
    // The group's flags matter when the account adopts them, its root when the account uses it.
    using namespace GroupLine;
    const int flags = r.AdoptGroupCMDs ? FirstMissing(read, {FirstFlag, FirstFlag + 1, FirstFlag + 2, FirstFlag + 3,
                                                             FirstFlag + 4, FirstFlag + 5, FirstFlag + 6, FirstFlag + 7})
                                       : 0;
    if (flags != 0)
        return flags;
    return r.UseGroupHomeDirectory ? FirstMissing(read, {RootFolder}) : 0;
}

void SessionHandlers::checkRoots(FtpUser& User, UserObj& r)
{
    using ModMain::ServerConfig;
    const QString appRoot = AppFiles::RootFolder();
    if (!FolderExistsDroppingSlash(ServerConfig.ServerRoot)) {
        ModMain::WriteServerEvent(QStringLiteral("*** MISSING SERVER ROOT FOLDER: ") + ServerConfig.ServerRoot
                                      + QStringLiteral(" is missing."),
                                  true);
        ModMain::WriteServerEvent(QStringLiteral("*** REMAPPING SERVER ROOT FOLDER TO: ") + appRoot, true);
        ModMain::WriteServerEvent(QStringLiteral("*** THIS CHANGE HAS BEEN SAVED."), true);
        ServerConfig.ServerRoot = appRoot;
        ModMain::SaveConfig();
        FtpEngine1.SetDefaultRoot(appRoot);
    }

    const auto remap = [&](QString& folder, const char* missing, const char* mapping, const char* warning) {
        if (FolderExists(folder))
            return;
        for (const QString& text : {QLatin1String(missing) + folder, QLatin1String(mapping) + appRoot,
                                    QString::fromLatin1(warning)})
            ModMain::WriteServerLog(r.Group, User.UserName(), User.RemoteAddress(), text, true);
        folder = appRoot + QLatin1Char('/');
    };
    if (!r.UseGroupHomeDirectory)
        remap(r.RootFolder, "*** MISSING USER ROOT FOLDER: ", "*** MAPPING USER ROOT FOLDER TO: ",
              "*** WARNING *** Modify User root folder.");
    else
        remap(r.GRootFolder, "*** MISSING GROUP ROOT FOLDER: ", "*** MAPPING GROUP ROOT FOLDER TO: ",
              "*** WARNING *** Modify Group root folder.");
}

void SessionHandlers::addVirtualFolders(FtpUser& User)
{
    const QList<VirtualFolderRecord> records
        = ReadVirtualFolderMap([](const QString& text) { ReportStep(Procedure, 13, text); });
    for (const VirtualFolderRecord& record : records) {
        if (const std::optional<QString> path = VirtualPathUnderHome(User.HomeFolder(), record.SourceFolder))
            User.VirtualFolderList().Add(record.Name, *path, record.RealFolder);
    }
}

void SessionHandlers::IFtpEngineNotify_UserLogin(FtpUser& User, bool& Cancel, QString& Message)
{
    PointerRestorer pointer(m_console);
    const QString name = User.UserName();
    if (const auto earlier = User.SessionObjectAs<UserObj>())
        earlier->PendingOpCode = PendingOp::None;

    const bool anonymous = Folded(name) == QLatin1String("anonymous");
    if (anonymous) {
        if (!ModMain::ServerConfig.AllowAnonymous) {
            refuseLogin(User, Cancel, Message, QStringLiteral("530 anonymous not enabled at this site."),
                        QStringLiteral("public"), true);
            return;
        }
        ModMain::WriteAnonymousLog(User.LoginPass());
    }

    auto record = std::make_shared<UserObj>();

    // A name that cannot be one literal file name has no account, and its
    // log is left alone.
    const bool safe = !name.isEmpty() && IsSafeName(name);
    const QString accountPath = AccountFilePath(name);
    if (!safe || !FileExists(accountPath)) {
        Message = QStringLiteral("530 No user account exists. Please try again.");
        User.SendReply(Message);
        Cancel = true;
        User.Disconnect();
        if (safe)
            RemoveFile(AppFiles::UserLog(name));
        WriteLogs(name, QStringLiteral("Unknown"), User.RemoteAddress(), Message);
        return;
    }

    QString userId;
    std::optional<QString> password;
    const int accountLineMissing = readAccount(accountPath, *record, userId, password);

    // A missing or undecipherable password line never lets a login in.
    const bool passwordOk = password && !Folded(*password).isEmpty() && Folded(*password) == Folded(User.LoginPass());
    if (!passwordOk && !anonymous) {
        refuseLogin(User, Cancel, Message, QStringLiteral("530 Invalid password."), QStringLiteral("Unknown"), false);
        return;
    }
    if (Folded(userId) != Folded(name)) {
        refuseLogin(User, Cancel, Message, QStringLiteral("530 User name is different from configuration name."),
                    QStringLiteral("Unknown"), true);
        return;
    }

    // A file without a line the session needs grants nothing: refused as for
    // a missing password, and the server log names the file.
    QString groupPath;
    const int groupLineMissing = accountLineMissing != 0 ? 0 : readGroup(*record, groupPath);
    if (accountLineMissing != 0 || groupLineMissing != 0) {
        const QString damaged = accountLineMissing != 0 ? accountPath : groupPath;
        const int line = accountLineMissing != 0 ? accountLineMissing : groupLineMissing;
        ModMain::WriteServerLog(QStringLiteral("Unknown"), name, User.RemoteAddress(),
                                QStringLiteral("*** LOGIN REFUSED: %1 cannot be read at line %2.").arg(damaged).arg(line),
                                true);
        refuseLogin(User, Cancel, Message, QStringLiteral("530 Invalid password."), QStringLiteral("Unknown"), false);
        return;
    }
    checkRoots(User, *record);
    User.SetHomeFolder(record->UseGroupHomeDirectory ? record->GRootFolder : record->RootFolder);
    addVirtualFolders(User);

    record->PendingOpCode = PendingOp::LoggedIn;
    record->Index = User.ConnectionIndex();
    User.SetSessionData(std::static_pointer_cast<SessionObject>(record));
    WriteLogs(name, record->Group, User.RemoteAddress(), QStringLiteral("230 ") + name + QStringLiteral(" login ok."));
    m_console.UpdateUserTree();
}

void SessionHandlers::IFtpEngineNotify_UserCommand(FtpUser& User, QString& Command, QString& Parameters,
                                                   bool& Cancel)
{
    PointerRestorer pointer(m_console);
    // The alias needs no session record: the engine answers USER only before
    // login, so it applies there too.
    if (Command.toUpper() == QLatin1String("USER") && Parameters.toLower() == QLatin1String("guest"))
        Parameters = QStringLiteral("anonymous");
    if (User.State() == FtpUser::Authorizing)
        return;
    if (const auto record = User.SessionObjectAs<UserObj>())
        ModMain::GetGroup(record->Group);
    else
        ReportStep("IFtpEngineNotify_UserCommand", 2, NoSessionRecordText());
    Cancel = false;
}

void SessionHandlers::IFtpEngineNotify_SiteCommand(FtpUser&, bool&, QString&)
{
}

void SessionHandlers::IFtpEngineNotify_UnrecognizedCommand(FtpUser&, bool&, QString&, QString&)
{
}
