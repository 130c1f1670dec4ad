#pragma once
// What the programs do first: the process-wide values as at start, and the
// program's cipher key installed. Each test's application folder and each test
// host begin with it.
void StartLikeTheProgram();

// A fixture's first member: puts the program's process-wide state back with
// its one reset (ModMain::ResetProcessState, ConsoleState::Reset or
// ResetConsoleProcess) before the other members install anything, and again
// after they have gone.
template <void (*Reset)()>
class FreshProcess {
public:
    FreshProcess() { Reset(); }
    ~FreshProcess() { Reset(); }
    FreshProcess(const FreshProcess&) = delete;
    FreshProcess& operator=(const FreshProcess&) = delete;
};
