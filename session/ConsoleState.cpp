#include "session/ConsoleState.h"

namespace ConsoleState {

QString SelectedKey;
QString SelectedItem;
bool DailyChart = false;
bool HiddenToTray = false;
qint32 ConnectionID = 0;
QString EditUserName;
QString EditGroupName;
QString LogFilePath;
quint64 AdminLogoffSession = 0;
qint32 FoundFileCount = 0;
QStringList UserTrendFiles;
QStringList GroupTrendFiles;

void Reset()
{
    SelectedKey.clear();
    SelectedItem.clear();
    DailyChart = false;
    HiddenToTray = false;
    ConnectionID = 0;
    EditUserName.clear();
    EditGroupName.clear();
    LogFilePath.clear();
    AdminLogoffSession = 0;
    FoundFileCount = 0;
    UserTrendFiles.clear();
    GroupTrendFiles.clear();
}

} // namespace ConsoleState
