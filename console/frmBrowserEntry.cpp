// The browser module's one entry, found by name when the console loads it. The module links no
// copy of core or platform: it runs on those of the program that loads it (console/CMakeLists.txt).
#include "console/frmBrowser.h"
#include "platform/BrowserModule.h"
#include "platform/SingleInstance.h"

extern "C" Q_DECL_EXPORT QWidget* QuayportShowBrowser()
{
    return &SingleInstance<frmBrowser>::Show();
}
