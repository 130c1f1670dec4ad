#pragma once
// The browser window and its web engine live in a module beside the program,
// loaded when the window is first opened: until then the engine costs the
// server nothing, neither memory nor start-up work.
#include <QString>

class QWidget;

namespace BrowserModule {

// The module's entry: shows the browser window, made when none is open and
// brought to the front when it is.
using ShowWindow = QWidget* (*)();
inline constexpr char EntryName[] = "QuayportShowBrowser";

// The module's file beside the program.
QString DefaultPath();
// Loads the module at path (once; it stays loaded) and finds its entry.
// Throws ProgramError with the loader's reason when it cannot.
ShowWindow Load(const QString& path);
// Shows the browser window from the module beside the program; throws as Load.
QWidget* Show();
// Tests that link the window in show it through their own entry; null goes
// back to the module.
void ReplaceEntry(ShowWindow entry);

} // namespace BrowserModule
