// Opening a log file in the log viewer. Until the viewer binding is in place
// the console only remembers the path it was asked to show.
#include "console/frmMain.h"

#include <QVariant>

void frmMain::Scrollbook(const QString& LogPath)
{
    setProperty("lastLogPath", LogPath);
}
