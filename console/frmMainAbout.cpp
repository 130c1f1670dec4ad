// The about box and the browser window, opened from the help menu, the root
// menu and the main toolbar's home button. Each shows its one window without
// waiting; a window already open is only brought to the front.
#include "console/frmMain.h"

#include "console/frmAbout.h"
#include "core/ProcedureName.h"
#include "core/Trapped.h"
#include "platform/BrowserModule.h"
#include "platform/SingleInstance.h"

void frmMain::mnuAbout_Click()
{
    SingleInstance<frmAbout>::Show();
}

void frmMain::mnuHomePage_Click()
{
    // Without its module the browser is reported and the console goes on.
    Trapped(FrmMainProcedure("mnuHomePage_Click"), 1, [] { BrowserModule::Show(); });
}
