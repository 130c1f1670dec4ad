#pragma once
// The console program's process-wide state, in the layers of its code: core's
// values and services (core/ProcessState.h), the values the window shares with
// the session handlers and the dialogs and their live sessions
// (session/ConsoleState.h), and here the console window itself.
#include <memory>

class frmMain;

struct ConsoleProcessState {
    std::unique_ptr<frmMain> Window;
    frmMain* Loading = nullptr; // the console while its start-up runs
    bool Destroyed = false;     // the console has gone and is not made again
};

ConsoleProcessState& ConsoleProcess();

// Puts the whole console program back as at its start, for tests: the console
// window goes (its engine stopped first), the browser window is again the
// module's, and ConsoleState::Reset puts back everything below.
void ResetConsoleProcess();
