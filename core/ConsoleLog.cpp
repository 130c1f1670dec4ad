#include "core/ConsoleLog.h"

namespace {
std::function<ConsoleLogList*()>& provider()
{
    static std::function<ConsoleLogList*()> p;
    return p;
}
} // namespace

void InstallConsoleLogProvider(std::function<ConsoleLogList*()> p)
{
    provider() = std::move(p);
}

ConsoleLogList* ConsoleLog()
{
    return provider() ? provider()() : nullptr;
}

void AppendConsoleRow(ConsoleLogList& list, const QString& row, int selectAbove)
{
    list.AddRow(row);
    if (list.RowCount() > ConsoleLogMaxRows)
        list.RemoveRow(0);
    if (list.RowCount() > selectAbove)
        list.SetSelectedRow(list.RowCount() - 1);
}
