#include "core/Accounts.h"

#include "core/AppFolder.h"
#include "core/ErrorReporter.h"
#include "core/FileNames.h"
#include "core/Flags.h"
#include "core/ProcessState.h"
#include "core/ServerLog.h"
#include "core/SmallProcs.h"
#include "core/TextCipher.h"
#include "core/TextFile.h"

namespace {

constexpr int AccountReservedLines = 19;
constexpr int GroupReservedLines = 19;

QString reserved()
{
    return QStringLiteral("<Reserved>");
}

void deleteNameless(const QString& folder, const QString& pattern, const QString& nameless)
{
    const QStringList names = ListFiles(AppPath(folder), pattern);
    for (const QString& listed : names) {
        const QString name = listed.trimmed();
        if (name.toLower() != nameless)
            continue;
        if (RemoveFile(AppPath(folder + QLatin1Char('/') + listed)))
            ModMain::WriteServerLog(QStringLiteral("server"), QStringLiteral("server"), QStringLiteral("server"),
                                    name + QStringLiteral(" deleted."), true);
    }
}

} // namespace

QString AccountFilePath(const QString& userName)
{
    return AppPath(QStringLiteral("/users/U_") + userName);
}

QString GroupFilePath(const QString& groupName)
{
    return AppPath(QStringLiteral("/groups/G_") + groupName);
}

QStringList AccountFileLines(const AccountRecord& a)
{
    const PermissionSet& p = a.Permissions;
    QStringList lines{FlagText(a.AdoptGroupCMDs), FlagText(p.ChangeDir), FlagText(p.DeleteFile), FlagText(p.Dir),
                      FlagText(p.GetFile),        FlagText(p.MakeDir),   FlagText(p.PutFile),    FlagText(p.RemoveDir),
                      FlagText(p.RenameFile),     OneLineField(a.UserId),     ModMain::Encipher(a.Password),
                      ModMain::Encipher(a.Description), OneLineField(a.Email), OneLineField(a.Group), OneLineField(a.RootFolder),
                      FlagText(a.UseGroupHomeDirectory), ModMain::VersionText};
    for (int i = 0; i < AccountReservedLines; ++i)
        lines.append(reserved());
    return lines;
}

QStringList GroupFileLines(const GroupRecord& g, bool encipherReserved)
{
    const PermissionSet& p = g.Permissions;
    QStringList lines{FlagText(p.DeleteFile), FlagText(p.GetFile), FlagText(p.PutFile),   FlagText(p.RenameFile),
                      FlagText(p.Dir),        FlagText(p.MakeDir), FlagText(p.RemoveDir), FlagText(p.ChangeDir),
                      OneLineField(g.RootFolder),  ModMain::VersionText};
    const QString r = encipherReserved ? ModMain::Encipher(reserved()) : reserved();
    for (int i = 0; i < GroupReservedLines; ++i)
        lines.append(r);
    return lines;
}

namespace ModMain {

QString GetUserGroup(const QString& userName, const QString& reportAs)
{
    if (userName.trimmed().isEmpty() || !IsSafeName(userName))
        return {};
    const QString path = AccountFilePath(userName);
    if (!FileExists(path))
        return {};
    LineReader reader(path);
    if (!reader.isOpen()) {
        ReportError(reader.errorText(), reportAs, 3);
        return {};
    }
    std::optional<QString> line;
    for (int i = 1; i <= AccountLine::Group; ++i) {
        line = reader.readLine();
        if (!line) {
            ReportError(QStringLiteral("Input past end of file"), reportAs, 3);
            return {};
        }
    }
    return *line;
}

bool GetGroup(const QString& groupName)
{
    const QString where = QStringLiteral("Quayport.ModMain.GetGroup");
    if (!IsSafeName(groupName.trimmed()))
        return true;
    const QString path = GroupFilePath(groupName).trimmed();
    if (!FileExists(path))
        return true;
    LineReader reader(path);
    if (!reader.isOpen()) {
        ReportError(reader.errorText(), where, 3);
        return true;
    }
    auto& g = CurrentGroup;
    bool* fields[] = {&g.DeleteFile, &g.GetFile, &g.PutFile, &g.RenameFile, &g.Dir, &g.MakeDir, &g.RemoveDir,
                      &g.ChangeDir};
    for (bool* field : fields) {
        const std::optional<QString> line = reader.readLine();
        if (!line) {
            // An unreadable line leaves its field, and the rest, as they were.
            ReportError(QStringLiteral("Input past end of file"), where, 3);
            return true;
        }
        if (const auto flag = ParseFlag(*line))
            *field = *flag;
        else
            ReportError(QStringLiteral("Type mismatch"), where, 3);
    }
    if (const auto root = reader.readLine())
        g.RootFolder = *root;
    else
        ReportError(QStringLiteral("Input past end of file"), where, 4);
    return true;
}

void CheckUG()
{
    deleteNameless(QStringLiteral("/users"), QStringLiteral("U_*.*"), QStringLiteral("u_"));
    deleteNameless(QStringLiteral("/groups"), QStringLiteral("G_*.*"), QStringLiteral("g_"));
}

} // namespace ModMain
