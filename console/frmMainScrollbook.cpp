// Opening a log in the log viewer, a program of its own. The console waits for
// nothing: the viewer's answer comes through the event loop.
#include "console/frmMain.h"

#include "console/LogViewerClient.h"
#include "core/AppFiles.h"
#include "core/FileNames.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/SmallProcs.h"
#include "core/Trapped.h"
#include "session/ConsoleState.h"

namespace {

// A log path ends in a name part taken from a list row or a client's user
// name: below the logs folder all of it, elsewhere the file's own name. A
// part that could leave its folder names no log.
bool safeLogName(const QString& path)
{
    const QString logs = AppFiles::LogsFolder() + QLatin1Char('/');
    const QString name = path.startsWith(logs, Qt::CaseInsensitive) ? path.mid(logs.size())
                                                                     : path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return IsSafeName(name);
}

} // namespace

void frmMain::Scrollbook(const QString& LogPath)
{
    QString path = LogPath;
    bool exists = false;
    Trapped(FrmMainProcedure("Scrollbook"), 2, [&] { exists = safeLogName(path) && FileExists(path); });
    if (!exists) {
        Messages().message(QStringLiteral("No Log file exits for this user."), QString(), MessageIcon::None);
        RestoreMousePointer();
        return;
    }
    LogViewerClient::LoadLog(path, this, [this](bool launched) {
        if (!launched)
            Messages().message(QStringLiteral("Unable to launch Log viewer."), QString(), MessageIcon::None);
        RestoreMousePointer();
        UpdateTree(ConsoleState::SelectedKey);
    });
}
