#include "console/ConsoleProcess.h"

#include "console/frmMain.h"
#include "platform/BrowserModule.h"
#include "session/ConsoleState.h"

ConsoleProcessState& ConsoleProcess()
{
    static ConsoleProcessState state;
    return state;
}

void ResetConsoleProcess()
{
    // The window goes first: its engine still reports while it stops.
    ConsoleProcess().Window.reset();
    ConsoleProcess() = ConsoleProcessState{};
    BrowserModule::ReplaceEntry(nullptr);
    ConsoleState::Reset();
}
