#include "console/ProgramEntry.h"

#include "console/ConsoleWindow.h"
#include "core/AppFolder.h"
#include "core/ProgramLifetime.h"
#include "console/frmMain.h"
#include "console/frmSplash.h"
#include "core/MessageService.h"
#include "core/ProcessState.h"
#include "platform/ConsoleImages.h"
#include "platform/ProgramFonts.h"

#include <QApplication>

namespace ModMain {

void PrepareApplication(QApplication& app)
{
    QApplication::setApplicationName(ProgramTitle());
    QApplication::setApplicationVersion(ProgramVersionText());
    app.setQuitOnLastWindowClosed(false);
    UseProgramFont();
    QApplication::setWindowIcon(ProgramIcon());
}

void Main()
{
    VersionText = ProgramVersionText();
    // Checked before anything is written: the preparation would otherwise make
    // a missing folder, or store paths that name no folder.
    if (const QString refusal = AppFolderRefusal(); !refusal.isEmpty()) {
        Messages().message(refusal, QString(), MessageIcon::Critical);
        ProgramLifetime::End(1);
        return;
    }
    // The help viewer reads "help.hlp" from the application folder.

    frmSplash splash;
    splash.exec();
    // The splash may have gone (a key, an outside close) before its preparation began.
    splash.Form_Activate();
    if (ProgramLifetime::Ending())
        return;

    frmMain& console = ConsoleWindow();
    if (!ProgramLifetime::Ending())
        console.show();
}

} // namespace ModMain
