#pragma once
// How the program ends. Ending leaves every running event loop; code that
// runs on after the request (a preparation step, the entry procedure) asks
// Ending() and stops, and main returns ExitStatus().
#include <functional>

namespace ProgramLifetime {

// Asks the program to end with the status. The first request stands; later
// ones change nothing.
void End(int status);
bool Ending();
int ExitStatus();

// What End does beyond noting the request; by default (or empty) it leaves
// every event loop (QCoreApplication::exit). Tests replace it so that their
// own loops run on; ModMain::ResetProcessState forgets the request and it.
void SetTerminator(std::function<void(int)> terminator);

} // namespace ProgramLifetime
