#pragma once
// The console's on-screen log as the core and the session handlers see it:
// a row list with the five columns Date, Time, Client Address, User name and
// Message. The console window implements it; reaching it creates the window
// when it does not exist yet.
#include <QString>
#include <functional>

class ConsoleLogList {
public:
    virtual ~ConsoleLogList() = default;
    virtual void Clear() = 0;
    virtual void AddRow(const QString& row) = 0; // fields joined by line feeds
    virtual int RowCount() const = 0;
    virtual void RemoveRow(int index) = 0;
    virtual void SetSelectedRow(int index) = 0;
    // Adds one row, drops the oldest while more than maxRows are held, and
    // selects the newest once more than selectAbove are. A list may show the
    // change a moment later, together with the next ones, as long as every
    // read of it sees the change at once.
    virtual void AddRowKeeping(const QString& row, int maxRows, int selectAbove);
};

// The most rows the console log keeps.
constexpr int ConsoleLogMaxRows = 1000;

// Installs the function that yields the console log, creating the console on
// first use. Without one, console rows are dropped.
void InstallConsoleLogProvider(std::function<ConsoleLogList*()> provider);
ConsoleLogList* ConsoleLog();

// Adds one row, drops the oldest above 1000 rows, and selects the newest row
// once the list holds more than selectAbove rows.
void AppendConsoleRow(ConsoleLogList& list, const QString& row, int selectAbove);
