// The commands on one item of the right-hand list or one connection node:
// edit its account or group, view or delete a log, refresh the pane, log a
// connected user off; and the list's double-click, which views a log.
#include "console/frmMain.h"

#include "console/ConsolePane.h"
#include "core/AppFiles.h"
#include "core/FileNames.h"
#include "core/MessageService.h"
#include "core/ServerLog.h"
#include "core/SmallProcs.h"
#include "engine/FtpEngine.h"
#include "platform/ListViewControl.h"
#include "platform/RowList.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"

#include <QFile>

namespace {

void say(const QString& text)
{
    Messages().message(text, QString(), MessageIcon::None);
}

// The file prefix of a log list's key; empty for any other key.
QString logPrefix(const QString& key)
{
    if (key == QLatin1String("serverlogs"))
        return AppFiles::ServerLogPrefix();
    if (key == QLatin1String("userlogs"))
        return AppFiles::UserLogPrefix();
    if (key == QLatin1String("grouplogs"))
        return AppFiles::GroupLogPrefix();
    return {};
}

// The path of a log file in the logs folder, spelt as it is on disk; empty
// when the name cannot be one literal file name (such a name never names a log).
QString logPath(const QString& fileName)
{
    const QString path = AppFiles::LogFile(fileName);
    return path.isEmpty() ? path : ResolvePath(path);
}

// A name handed to an edit dialog only when it can name a file of its own.
QString handOver(const QString& name)
{
    return IsSafeName(name) ? name : QString();
}

FtpUser* sessionWithId(const FtpEngine& engine, quint64 id)
{
    const FtpSessions& sessions = engine.Sessions();
    for (int i = 0; i < sessions.Count(); ++i) {
        FtpUser* user = sessions.Item(i);
        if (user && user->SessionId() == id)
            return user;
    }
    return nullptr;
}

// What a delete command says when the log is missing or will not go.
struct DeleteTexts {
    QString missing;
    QString failed;    // followed by the path
    QString errorWord; // followed by the error's description
};

// Asks, removes the log and logs the removal; a missing or unsafe log, or a
// failed removal, is reported and logs nothing.
void deleteLog(frmMain& form, const QString& path, const DeleteTexts& texts)
{
    using ConsoleState::SelectedItem;
    if (!path.isEmpty())
        ConsoleState::LogFilePath = path;
    if (!Messages().confirm(QStringLiteral("Are you sure you wish to delete log ") + SelectedItem + QLatin1Char('?'),
                            QStringLiteral("Delete Log")))
        return;
    if (path.isEmpty() || !FileExists(path)) {
        say(texts.missing);
        return;
    }
    QFile file(ResolvePath(path));
    if (!file.remove()) {
        say(texts.failed + path + texts.errorWord + file.errorString());
        return;
    }
    ModMain::WriteServerEvent(path + QStringLiteral(" deleted."), true);
    SelectedItem.clear();
    form.UpdateTree(ConsoleState::SelectedKey);
}

} // namespace

bool frmMain::itemChosen()
{
    using ConsoleState::SelectedItem;
    using ConsoleState::SelectedKey;
    if (SelectedKey.startsWith(QLatin1Char('@')))
        SelectedItem = tvwDb->NodeText(SelectedKey);
    if (SelectedItem.trimmed().isEmpty()) {
        say(QStringLiteral("Lost focus on item, Probable Refresh occurred. Please try action again."));
        return false;
    }
    return true;
}

void frmMain::viewLog(const QString& path)
{
    if (path.isEmpty()) {
        // An unsafe name is no log; say what the viewer says of a missing one.
        say(QStringLiteral("No Log file exits for this user."));
        RestoreMousePointer();
        return;
    }
    if (ViewLogHook)
        ViewLogHook(path);
    else
        Scrollbook(path);
}

void frmMain::lvwDb_DblClick()
{
    using ConsoleState::SelectedItem;
    SelectedItem = lvwDb->SelectedText();
    if (SelectedItem.trimmed().isEmpty())
        return;
    const QString prefix = logPrefix(ConsoleState::SelectedKey);
    if (prefix.isEmpty())
        return;
    // The row's text as listed: trimmed, it could name another file.
    const QString path = logPath(prefix + SelectedItem);
    if (!path.isEmpty())
        ConsoleState::LogFilePath = path;
    viewLog(path);
}

// The edit and refresh items of the users' and the groups' menus: either
// edits what the selected key lists.
void frmMain::editItem(ConsoleAction item)
{
    using ConsoleState::SelectedItem;
    using ConsoleState::SelectedKey;
    using enum ConsoleAction;
    if (!itemChosen())
        return;
    FramesOff();
    if (item == EditUser || item == EditGroup) {
        if (SelectedKey == QLatin1String("users") || SelectedKey == QLatin1String("Active")) {
            ConsoleState::EditUserName = handOver(SelectedItem);
            mnuEditUsers_Click();
            UpdateTree(SelectedKey);
        }
        if (SelectedKey == QLatin1String("groups")) {
            ConsoleState::EditGroupName = handOver(SelectedItem);
            mnuEditGroups_Click();
            UpdateTree(SelectedKey);
        }
    } else if (item == RefreshUsers || item == RefreshGroups) {
        UpdateTree(SelectedKey);
    }
}

void frmMain::mnuEdit_Click(int Index)
{
    editItem(ActionAt(ConsolePlace::mnuEditOptions, Index));
}

void frmMain::mnuGroupEdit_Click(int Index)
{
    editItem(ActionAt(ConsolePlace::mnuGroupEditOptions, Index));
}

void frmMain::mnuEditUser_Click(int Index)
{
    using ConsoleState::SelectedItem;
    using ConsoleState::SelectedKey;
    using enum ConsoleAction;
    if (!itemChosen())
        return;
    const ConsoleAction item = ActionAt(ConsolePlace::mnuEditUserOptions, Index);
    // A delete or log-off that is answered No leaves the pane as it was.
    if (item != DeleteUserLog && item != LogoffUser)
        FramesOff();
    const QString userLog = AppFiles::UserLogPrefix() + SelectedItem.trimmed() + QStringLiteral(".txt");
    switch (item) {
    case EditConnectionUser:
        ConsoleState::EditUserName = handOver(SelectedItem);
        mnuEditUsers_Click();
        UpdateTree(SelectedKey);
        break;
    case ViewUserLog:
        viewLog(logPath(userLog));
        break;
    case DeleteUserLog:
        deleteLog(*this, logPath(userLog),
                  {QStringLiteral("Log not found. Log may have been renamed or switched."),
                   QStringLiteral("Unable to delete log "), QStringLiteral(". Err = ")});
        break;
    case RefreshConnections:
        UpdateTree(SelectedKey);
        break;
    case LogoffUser:
        logOffUser();
        break;
    default:
        break;
    }
}

void frmMain::logOffUser()
{
    using ConsoleState::ConnectionID;
    using ConsoleState::SelectedItem;
    using ConsoleState::SelectedKey;
    // The session is found by the identity its node carries, never by a bare
    // index: indexes move when an earlier session ends.
    FtpUser* user = nullptr;
    if (SelectedKey.startsWith(QLatin1Char('@'))) {
        ConnectionID = SelectedKey.mid(1).toInt();
        user = m_pane->SessionOfKey(SelectedKey);
    } else {
        SelectedItem.clear();
        if (const std::optional<ListViewItem> row = lvwDb->SelectedItem()) {
            SelectedItem = row->text;
            ConnectionID = qint32(row->tag);
        }
        if (SelectedItem.trimmed().isEmpty()) {
            say(QStringLiteral("Unable to get user information."));
            return;
        }
        // The row and the node of one index come from the same rebuild.
        user = m_pane->SessionOfKey(QLatin1Char('@') + QString::number(ConnectionID));
        if (user && user->UserName().trimmed() != SelectedItem)
            user = nullptr;
    }
    if (!user)
        return; // ended since the list was drawn
    const quint64 id = user->SessionId();
    if (!Messages().confirm(QStringLiteral(" Logoff User ") + user->UserName() + QLatin1Char('?'),
                            QStringLiteral(" Logoff User?")))
        return;
    // The question ran the event loop: the session may have ended meanwhile.
    user = sessionWithId(*FtpEngine1, id);
    if (!user)
        return;
    ConsoleState::AdminLogoffSession = id;
    user->SendReply(QStringLiteral("221 The Administrator has terminated the connection."));
    user->Disconnect();
    lstServerLog->setVisible(true);
    SelectedItem.clear();
    UpdateTree(SelectedKey);
}

void frmMain::mnuLog_Click(int Index)
{
    using ConsoleState::SelectedItem;
    using ConsoleState::SelectedKey;
    const ConsoleAction item = ActionAt(ConsolePlace::mnuLogOptions, Index);
    if (item == ConsoleAction::RefreshLogs) {
        UpdateTree(SelectedKey);
        return;
    }
    const QString prefix = logPrefix(SelectedKey);
    if (prefix.isEmpty())
        return;
    // The row's text as listed: trimmed, it could name another file.
    const QString path = logPath(prefix + SelectedItem);
    if (item == ConsoleAction::ViewLog) {
        if (!path.isEmpty())
            ConsoleState::LogFilePath = path;
        viewLog(path);
    } else if (item == ConsoleAction::DeleteLog) {
        deleteLog(*this, path,
                  {QStringLiteral("Unable to delete log. The log may have been switched."),
                   QStringLiteral("Unable to delete file "), QStringLiteral(". Err code = ")});
    }
}
