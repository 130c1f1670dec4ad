#pragma once
// A window the administrator asked for (a help topic, a log viewer, the
// browser, an error box, a form opened from a command) comes up in front of
// the program's windows, with the focus, wholly on the screen. While a modal
// dialog is open it stands by that dialog as its transient: above it, and
// taking clicks and keys, which the dialog otherwise keeps from every other
// window of the program.
class QWidget;

// Places the window when nobody has placed it yet, has it stand by the open
// modal dialog, shows it (restoring it when minimized), raises it and asks
// for the focus. The window manager is asked once the window is mapped, so
// that a window opened for another program's request (a log viewer started
// over the bus) is activated too.
void ShowInFront(QWidget& window);

// Places a window that is not shown yet on the screen the administrator works
// on: centred, or a title bar lower and to the right of an open window of the
// program that stands there already, and wholly within the room the screen
// gives windows. A window that can be resized is made small enough to fit.
void PlaceOnScreen(QWidget& window);
