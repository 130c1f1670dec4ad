#pragma once
// The program's entry: the splash with its preparation, then the console.
class QApplication;

namespace ModMain {

// The application's program-wide settings: its names, font and icon. The
// console ends the program itself, so closing the last window (a dialog while
// the console is hidden in the tray) does not.
void PrepareApplication(QApplication& app);

// The version text, the splash shown modally, then the console shown. Returns
// early when the program is asked to end on the way.
void Main();

} // namespace ModMain
