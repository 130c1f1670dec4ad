#include "session/ConsoleState.h"

#include "core/ProcessState.h"
#include "session/LiveSessions.h"

namespace ConsoleState {

namespace {
// A plain global, so that the names below are bound before any code runs.
State state;
} // namespace

State& Current()
{
    return state;
}

QString& SelectedKey = state.SelectedKey;
QString& SelectedItem = state.SelectedItem;
bool& DailyChart = state.DailyChart;
bool& HiddenToTray = state.HiddenToTray;
qint32& ConnectionID = state.ConnectionID;
QString& EditUserName = state.EditUserName;
QString& EditGroupName = state.EditGroupName;
QString& LogFilePath = state.LogFilePath;
quint64& AdminLogoffSession = state.AdminLogoffSession;
qint32& FoundFileCount = state.FoundFileCount;
QStringList& UserTrendFiles = state.UserTrendFiles;
QStringList& GroupTrendFiles = state.GroupTrendFiles;

void Reset()
{
    state = State{};
    ModMain::ResetProcessState();
}

} // namespace ConsoleState
