// The browser module's one entry, found by name when the console loads it.
#include "console/frmBrowser.h"
#include "platform/BrowserModule.h"
#include "platform/SingleInstance.h"

extern "C" Q_DECL_EXPORT QWidget* QuayportShowBrowser()
{
    return &SingleInstance<frmBrowser>::Show();
}
