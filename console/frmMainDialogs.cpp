// The commands that open the administration dialogs. The edit users and edit
// groups windows are not part of the console yet, so these open nothing.
#include "console/frmMain.h"

void frmMain::mnuEditUsers_Click() {}

void frmMain::mnuEditGroups_Click() {}
