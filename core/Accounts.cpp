#include "core/Accounts.h"

#include "core/ErrorReporter.h"
#include "core/ErrorTexts.h"
#include "core/FileNames.h"
#include "core/Flags.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/ServerLog.h"
#include "core/SmallProcs.h"
#include "core/TextCipher.h"
#include "core/TextFile.h"

namespace {

constexpr int AccountReservedLines = 19;
constexpr int GroupReservedLines = 19;

// The permission flags in the order of their lines; the two files differ.
using Flag = bool PermissionSet::*;
constexpr Flag AccountFileFlags[] = {&PermissionSet::ChangeDir, &PermissionSet::DeleteFile, &PermissionSet::Dir,
                                     &PermissionSet::GetFile,   &PermissionSet::MakeDir,    &PermissionSet::PutFile,
                                     &PermissionSet::RemoveDir, &PermissionSet::RenameFile};
constexpr Flag GroupFileFlags[] = {&PermissionSet::DeleteFile, &PermissionSet::GetFile, &PermissionSet::PutFile,
                                   &PermissionSet::RenameFile, &PermissionSet::Dir,     &PermissionSet::MakeDir,
                                   &PermissionSet::RemoveDir,  &PermissionSet::ChangeDir};

QString reserved()
{
    return QStringLiteral("<Reserved>");
}

void deleteNameless(const QString& folder, const QString& pattern, const QString& nameless)
{
    const QStringList names = ListFiles(folder, pattern);
    for (const QString& listed : names) {
        const QString name = listed.trimmed();
        if (name.toLower() != nameless)
            continue;
        if (RemoveFile(folder + QLatin1Char('/') + listed))
            ModMain::WriteServerEvent(name + QStringLiteral(" deleted."), true);
    }
}

QStringList listedNames(const QString& folder, const QString& pattern)
{
    QStringList names;
    for (const QString& listed : ListFiles(folder, pattern)) {
        const QString name = listed.trimmed();
        if (!name.isEmpty())
            names.append(name.mid(2));
    }
    return names;
}

// One line reader that tells the caller of every line giving no value.
class FieldReader {
public:
    FieldReader(const QString& path, qsizetype lineLimit, const LineFaultHandler& fault)
        : m_reader(path, lineLimit)
        , m_fault(fault)
    {
    }
    bool isOpen() const { return m_reader.isOpen(); }
    QString errorText() const { return m_reader.errorText(); }
    bool damaged() const { return m_reader.damaged(); }
    bool stopped() const { return m_stopped; }
    int line() const { return m_line; }
    unsigned linesRead() const { return m_read; }

    std::optional<QString> text()
    {
        if (m_stopped)
            return std::nullopt;
        ++m_line;
        std::optional<QString> line = m_reader.readLine();
        if (line) {
            m_read |= 1u << (m_line - 1);
        } else if (m_reader.damaged()) {
            m_fault(m_line, LineFault::Damaged);
            m_stopped = true;
        } else {
            m_stopped = !m_fault(m_line, LineFault::PastEnd);
        }
        return line;
    }
    std::optional<bool> flag()
    {
        const std::optional<QString> line = text();
        if (!line)
            return std::nullopt;
        const std::optional<bool> value = ParseFlag(*line);
        if (!value) {
            m_read &= ~(1u << (m_line - 1));
            m_stopped = !m_fault(m_line, LineFault::TypeMismatch);
        }
        return value;
    }

private:
    LineReader m_reader;
    const LineFaultHandler& m_fault;
    int m_line = 0;
    unsigned m_read = 0;
    bool m_stopped = false;
};

} // namespace

QString LineFaultText(LineFault fault)
{
    switch (fault) {
    case LineFault::PastEnd:
        return PastEndText();
    case LineFault::TypeMismatch:
        return TypeMismatchText();
    case LineFault::Damaged:
        break;
    }
    return LineTooLongText();
}

AccountFileRead ReadAccountFile(const QString& path, const LineFaultHandler& fault)
{
    AccountFileRead read;
    // The password and the description are enciphered.
    FieldReader r(path, LineLimit::EncipheredField, fault);
    read.Opened = r.isOpen();
    if (!read.Opened) {
        read.ErrorText = r.errorText();
        return read;
    }
    AccountRecord& a = read.Account;
    a.AdoptGroupCMDs = r.flag().value_or(false);
    for (Flag flag : AccountFileFlags)
        a.Permissions.*flag = r.flag().value_or(false);
    a.UserId = r.text().value_or(QString());
    if (const std::optional<QString> password = r.text())
        a.Password = ModMain::DeCipher(*password);
    if (const std::optional<QString> description = r.text())
        a.Description = ModMain::DeCipher(*description);
    a.Email = r.text().value_or(QString());
    a.Group = r.text().value_or(QString());
    a.RootFolder = r.text().value_or(QString());
    a.UseGroupHomeDirectory = r.flag().value_or(false);
    read.LinesRead = r.linesRead();
    read.Damaged = r.damaged();
    return read;
}

GroupFileRead ReadGroupFile(const QString& path, const LineFaultHandler& fault)
{
    GroupFileRead read;
    // The lines read are plain; only the reserved ones after them may be enciphered.
    FieldReader r(path, LineLimit::PlainField, fault);
    read.Opened = r.isOpen();
    if (!read.Opened) {
        read.ErrorText = r.errorText();
        return read;
    }
    for (Flag flag : GroupFileFlags)
        read.Group.Permissions.*flag = r.flag().value_or(false);
    read.Group.RootFolder = r.text().value_or(QString());
    read.LinesRead = r.linesRead();
    read.Damaged = r.damaged();
    return read;
}

QStringList AccountNames()
{
    return listedNames(AppFiles::UsersFolder(), AppFiles::AccountFilePattern());
}

QStringList GroupNames()
{
    return listedNames(AppFiles::GroupsFolder(), AppFiles::GroupFilePattern());
}

QStringList AccountFileLines(const AccountRecord& a)
{
    QStringList lines{FlagText(a.AdoptGroupCMDs)};
    for (Flag flag : AccountFileFlags)
        lines.append(FlagText(a.Permissions.*flag));
    lines << OneLineField(a.UserId) << ModMain::Encipher(a.Password) << ModMain::Encipher(a.Description)
          << OneLineField(a.Email) << OneLineField(a.Group) << OneLineField(a.RootFolder)
          << FlagText(a.UseGroupHomeDirectory) << ModMain::VersionText;
    for (int i = 0; i < AccountReservedLines; ++i)
        lines.append(reserved());
    return lines;
}

QStringList GroupFileLines(const GroupRecord& g, bool encipherReserved)
{
    QStringList lines;
    for (Flag flag : GroupFileFlags)
        lines.append(FlagText(g.Permissions.*flag));
    lines << OneLineField(g.RootFolder) << ModMain::VersionText;
    const QString r = encipherReserved ? ModMain::Encipher(reserved()) : reserved();
    for (int i = 0; i < GroupReservedLines; ++i)
        lines.append(r);
    return lines;
}

namespace ModMain {

const QString& GetUserGroupProcedure()
{
    static const QString name = QuayportProcedure(u"ModMain", "GetUserGroup");
    return name;
}

QString GetUserGroup(const QString& userName, const QString& reportAs)
{
    if (userName.trimmed().isEmpty() || !IsSafeName(userName))
        return {};
    const QString path = AccountFilePath(userName);
    if (!FileExists(path))
        return {};
    LineReader reader(path, LineLimit::EncipheredField);
    if (!reader.isOpen()) {
        ReportError(reader.errorText(), reportAs, 3);
        return {};
    }
    std::optional<QString> line;
    for (int i = 1; i <= AccountLine::Group; ++i) {
        line = reader.readLine();
        if (!line) {
            ReportError(reader.errorText(), reportAs, 3);
            return {};
        }
    }
    return *line;
}

bool GetGroup(const QString& groupName)
{
    static const QString where = QuayportProcedure(u"ModMain", "GetGroup");
    if (!IsSafeName(groupName.trimmed()))
        return true;
    const QString path = GroupFilePath(groupName).trimmed();
    if (!FileExists(path))
        return true;
    // An unreadable line leaves its field, and the rest, as they were.
    const GroupFileRead read = ReadGroupFile(path, [&](int line, LineFault fault) {
        ReportError(LineFaultText(fault), where, line <= 8 ? 3 : 4);
        return fault != LineFault::PastEnd;
    });
    if (!read.Opened) {
        ReportError(read.ErrorText, where, 3);
        return true;
    }
    auto& g = CurrentGroup;
    for (int i = 0; i < int(std::size(GroupFileFlags)); ++i) {
        const Flag flag = GroupFileFlags[i];
        if (read.lineRead(GroupLine::FirstFlag + i))
            g.Permissions.*flag = read.Group.Permissions.*flag;
    }
    if (read.lineRead(GroupLine::RootFolder))
        g.RootFolder = read.Group.RootFolder;
    return true;
}

void CheckUG()
{
    deleteNameless(AppFiles::UsersFolder(), AppFiles::AccountFilePattern(), QStringLiteral("u_"));
    deleteNameless(AppFiles::GroupsFolder(), AppFiles::GroupFilePattern(), QStringLiteral("g_"));
}

} // namespace ModMain
