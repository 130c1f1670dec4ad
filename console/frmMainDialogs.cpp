// The commands that open the account, group and virtual folder dialogs, each
// a single instance shown without waiting; deletes in them close sessions on
// this window's engine.
#include "console/frmMain.h"

#include "session/LiveSessions.h"
#include "dialogs/frmAddUser.h"
#include "dialogs/frmEditGroups.h"
#include "dialogs/frmEditUsers.h"
#include "dialogs/frmVirtualFolders.h"
#include "engine/FtpEngine.h"
#include "platform/SingleInstance.h"

#include <QPointer>

namespace {

class EngineSessions final : public LiveSessions {
public:
    explicit EngineSessions(FtpEngine* engine) : m_engine(engine) {}

    void CloseUserSessions(const QString& userName) override
    {
        if (!m_engine)
            return;
        const QString wanted = userName.trimmed().toLower();
        if (wanted.isEmpty())
            return;
        // Taken first: each close ends its session and changes the list.
        QList<QPointer<FtpUser>> matching;
        const FtpSessions& sessions = m_engine->Sessions();
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

private:
    QPointer<FtpEngine> m_engine;
};

template <class Form>
void showDialog(FtpEngine* engine)
{
    InstallLiveSessions(std::make_shared<EngineSessions>(engine));
    SingleInstance<Form>::Show();
}

} // namespace

void frmMain::mnuAddUsers_Click()
{
    showDialog<frmAddUser>(FtpEngine1);
}

void frmMain::mnuEditUsers_Click()
{
    showDialog<frmEditUsers>(FtpEngine1);
}

void frmMain::mnuEditGroups_Click()
{
    showDialog<frmEditGroups>(FtpEngine1);
}

void frmMain::mnuVirtualFolders_Click()
{
    showDialog<frmVirtualFolders>(FtpEngine1);
}
