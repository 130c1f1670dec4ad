// The commands that open the account, group and virtual folder dialogs, each
// a single instance shown without waiting, and the closing of a deleted
// account's sessions on this window's engine.
#include "console/frmMain.h"

#include "dialogs/frmAddUser.h"
#include "dialogs/frmEditGroups.h"
#include "dialogs/frmEditUsers.h"
#include "dialogs/frmVirtualFolders.h"
#include "engine/FtpEngine.h"
#include "platform/SingleInstance.h"

#include <QPointer>

void frmMain::CloseUserSessions(const QString& userName)
{
    const QString wanted = userName.trimmed().toLower();
    if (wanted.isEmpty())
        return;
    // Taken first: each close ends its session and changes the list.
    QList<QPointer<FtpUser>> matching;
    const FtpSessions& sessions = FtpEngine1->Sessions();
    for (int i = 0; i < sessions.Count(); ++i) {
        FtpUser* user = sessions.Item(i);
        if (user && user->UserName().trimmed().toLower() == wanted)
            matching.append(user);
    }
    for (const QPointer<FtpUser>& user : matching) {
        if (user)
            user->Disconnect();
    }
}

void frmMain::mnuAddUsers_Click()
{
    SingleInstance<frmAddUser>::Show();
}

void frmMain::mnuEditUsers_Click()
{
    SingleInstance<frmEditUsers>::Show();
}

void frmMain::mnuEditGroups_Click()
{
    SingleInstance<frmEditGroups>::Show();
}

void frmMain::mnuVirtualFolders_Click()
{
    SingleInstance<frmVirtualFolders>::Show();
}
