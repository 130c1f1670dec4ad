// The about box and the browser window, opened from the help menu, the root
// menu and the main toolbar's home button. Each shows its one window without
// waiting; a window already open is only brought to the front.
#include "console/frmMain.h"

#include "console/frmAbout.h"
#include "console/frmBrowser.h"
#include "platform/SingleInstance.h"

void frmMain::mnuAbout_Click()
{
    SingleInstance<frmAbout>::Show();
}

void frmMain::mnuHomePage_Click()
{
    SingleInstance<frmBrowser>::Show();
}
