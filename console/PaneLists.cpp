#include "console/PaneLists.h"

#include "core/AppFiles.h"
#include "core/Config.h"
#include "core/ErrorReporter.h"
#include "core/ErrorTexts.h"
#include "core/FileNames.h"
#include "core/GeneralDate.h"
#include "core/ProcedureName.h"
#include "core/ProcessState.h"
#include "core/TextFile.h"
#include "platform/ConsoleImages.h"
#include "platform/ListViewControl.h"

#include <QFileInfo>
#include <QLocale>

namespace PaneLists {

namespace {

const QString Where = FrmMainProcedure("UpdateTree");

// identity: the file a row stands for, where its key is only its place.
void addRow(ListViewControl& list, const QString& key, const QString& text, int image,
            const QStringList& subItems = {}, const QString& identity = {})
{
    if (!list.InsertItem(1, ListViewItem{key, text, image, image, subItems, 0, identity}))
        ReportError(QStringLiteral("Key is not unique in collection"), Where, 5);
}

QString rowKey(int n)
{
    return QStringLiteral("k") + QString::number(n);
}

QStringList trimmedNames(const QString& folder, const QString& pattern)
{
    QStringList out;
    for (const QString& name : ListFiles(folder, pattern)) {
        const QString t = name.trimmed();
        if (!t.isEmpty())
            out.append(t);
    }
    return out;
}

// Line 14 of an account file; empty, with one report, when it cannot be read.
QString accountGroup(const QString& fileName)
{
    LineReader reader(AppFiles::UsersFolder() + QLatin1Char('/') + fileName, LineLimit::EncipheredField);
    if (!reader.isOpen()) {
        ReportError(reader.errorText(), Where, 5);
        return {};
    }
    std::optional<QString> line;
    for (int i = 0; i < 14; ++i) {
        line = reader.readLine();
        if (!line) {
            ReportError(reader.errorText(), Where, 5);
            return {};
        }
    }
    return *line;
}

} // namespace

void ShowSettingsSummary(ListViewControl& list, int sessionCount)
{
    list.AddColumn(QStringLiteral("IP Address"), 1700);
    list.AddColumn(QStringLiteral("Port"), 600);
    list.AddColumn(QStringLiteral("Connections"), 1200);
    list.AddColumn(QStringLiteral("Root Folder"), 5000);
    if (ModMain::LoadConfig()) {
        addRow(list, QStringLiteral("list"), QStringLiteral("All"), ListImage::Settings,
               {ModMain::ServerConfig.Port, QString::number(sessionCount), ModMain::ServerConfig.ServerRoot});
    }
}

void ShowUserAndGroupTotals(ListViewControl& list)
{
    list.AddColumn(QStringLiteral("Name"), 2000);
    list.AddColumn(QStringLiteral("Count"), 1000);
    const auto users = trimmedNames(AppFiles::UsersFolder(), AppFiles::AccountFilePattern()).size();
    const auto groups = trimmedNames(AppFiles::GroupsFolder(), AppFiles::GroupFilePattern()).size();
    addRow(list, QStringLiteral("k2"), QStringLiteral("Total Groups"), ListImage::Group, {QString::number(groups)});
    addRow(list, QStringLiteral("k1"), QStringLiteral("Total Users"), ListImage::User, {QString::number(users)});
}

void ShowAccounts(ListViewControl& list)
{
    list.AddColumn(QStringLiteral("User"), 2000);
    list.AddColumn(QStringLiteral("Group"), 2000);
    int n = 1;
    for (const QString& name : trimmedNames(AppFiles::UsersFolder(), AppFiles::AccountFilePattern())) {
        addRow(list, rowKey(n), name.mid(2), ListImage::User, {accountGroup(name)}, name);
        ++n;
    }
}

void ShowGroups(ListViewControl& list)
{
    list.AddColumn(QStringLiteral("Groups"), 6000);
    int n = 1;
    for (const QString& name : trimmedNames(AppFiles::GroupsFolder(), AppFiles::GroupFilePattern())) {
        addRow(list, rowKey(n), name.mid(2), ListImage::Group, {}, name);
        ++n;
    }
}

void ShowLogTotals(ListViewControl& list)
{
    list.AddColumn(QStringLiteral("Name"), 2000);
    list.AddColumn(QStringLiteral("Count"), 1000);
    int server = 0, user = 0, group = 0;
    for (const QString& listed : ListFiles(AppFiles::LogsFolder(), QStringLiteral("*.txt"))) {
        const QString name = listed.toLower().trimmed();
        if (name.size() < 2 || name.at(1) != QLatin1Char('_') || !name.endsWith(QLatin1String(".txt")))
            continue;
        if (name.startsWith(QLatin1String("s_")))
            ++server;
        else if (name.startsWith(QLatin1String("u_")))
            ++user;
        else if (name.startsWith(QLatin1String("g_")))
            ++group;
    }
    addRow(list, QStringLiteral("k2"), QStringLiteral("Total Group Logs"), ListImage::Group, {QString::number(group)});
    addRow(list, QStringLiteral("k1"), QStringLiteral("Total User Logs"), ListImage::User, {QString::number(user)});
    addRow(list, QStringLiteral("k0"), QStringLiteral("Total Server Logs"), ListImage::ServerLog,
           {QString::number(server)});
}

void ShowLogFiles(ListViewControl& list, LogKind kind)
{
    list.AddColumn(QStringLiteral(" Log "), 3000);
    list.AddColumn(QStringLiteral("Size"), 1300);
    list.AddColumn(QStringLiteral("Modified"), 1800);
    const QString pattern = kind == LogKind::Server ? QStringLiteral("S_*.txt")
        : kind == LogKind::User                     ? QStringLiteral("U_*.*")
                                                    : QStringLiteral("G_*.txt");
    const int image = kind == LogKind::Server ? ListImage::ServerLog
        : kind == LogKind::User               ? ListImage::User
                                              : ListImage::Group;
    const QString folder = AppFiles::LogsFolder() + QLatin1Char('/');
    int n = 1;
    // Names as they are on disk: a row's text finds its file again, so a
    // blank at either end is kept rather than trimmed into another file's name.
    for (const QString& name : ListFiles(AppFiles::LogsFolder(), pattern)) {
        if (name.trimmed().isEmpty() || !name.toLower().endsWith(QLatin1String(".txt")))
            continue;
        const QFileInfo fi(folder + name);
        const QString modified = GeneralDateText(fi.lastModified());
        addRow(list, rowKey(n), name.mid(2), image, {QString::number(fi.size()), modified}, name);
        ++n;
    }
}

} // namespace PaneLists
