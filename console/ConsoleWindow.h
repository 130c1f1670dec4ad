#pragma once
// The process's one console window (held in console/ConsoleProcess.h).
// Reaching it makes it on first use and
// runs its start-up (Form_Load) before handing it out, so a console line
// written during the splash's preparation opens the console first.
class frmMain;

// The console, made and loaded on first use.
frmMain& ConsoleWindow();
frmMain* ConsoleWindowIfOpen();
// Destroys the console (the engine is stopped before the window goes); it is
// not made again (ResetConsoleProcess lets tests make a new one).
void DestroyConsoleWindow();

// Routes console log rows to the console's lstServerLog, making the console on
// first use, and the dialogs' closing of live sessions to its engine, for the
// life of this object; the console goes with it. Rows written after the
// console has been destroyed are dropped, never a reason to make it again.
class ConsoleWindowLifetime {
public:
    ConsoleWindowLifetime();
    ~ConsoleWindowLifetime();
    ConsoleWindowLifetime(const ConsoleWindowLifetime&) = delete;
    ConsoleWindowLifetime& operator=(const ConsoleWindowLifetime&) = delete;
};
