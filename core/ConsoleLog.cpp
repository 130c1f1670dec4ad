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

void ConsoleLogList::AddRowKeeping(const QString& row, int maxRows, int selectAbove)
{
    AddRow(row);
    if (RowCount() > maxRows)
        RemoveRow(0);
    if (RowCount() > selectAbove)
        SetSelectedRow(RowCount() - 1);
}

void AppendConsoleRow(ConsoleLogList& list, const QString& row, int selectAbove)
{
    list.AddRowKeeping(row, ConsoleLogMaxRows, selectAbove);
}
