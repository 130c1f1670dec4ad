#include "core/ConsoleLog.h"

#include "core/ProcessState.h"

void InstallConsoleLogProvider(std::function<ConsoleLogList*()> provider)
{
    ModMain::Process().ConsoleLog = std::move(provider);
}

ConsoleLogList* ConsoleLog()
{
    const std::function<ConsoleLogList*()>& provider = ModMain::Process().ConsoleLog;
    return provider ? provider() : nullptr;
}

void AppendConsoleRow(ConsoleLogList& list, const QString& row, int selectAbove)
{
    list.AddRow(row);
    if (list.RowCount() > ConsoleLogMaxRows)
        list.RemoveRow(0);
    if (list.RowCount() > selectAbove)
        list.SetSelectedRow(list.RowCount() - 1);
}
