#pragma once
// What the session handlers need of the console window. The window implements
// it; tests use a recording double, so the handlers run without a window.
#include <QString>

// The commands whose enabled state follows the server's state.
enum class ServerCommand {
    MenuStart,        // mnuStart
    MenuStop,         // mnuStop
    TrayStart,        // mnuTrayStart
    TrayStop,         // mnuTrayStop
    MenuProperties,   // mnuProperties
    ToolbarStart,     // Toolbar1 button 1
    ToolbarStop,      // Toolbar1 button 2
    ToolbarProperties // Toolbar1 button 6
};

class ConsoleServices {
public:
    virtual ~ConsoleServices() = default;
    // One information row on the console log ("server" as address and user).
    virtual void InfoLog(const QString& text) = 0;
    // Rebuilds the connection subtree and refreshes the selected pane.
    virtual void UpdateUserTree() = 0;
    virtual void SetCommandEnabled(ServerCommand command, bool enabled) = 0;
    // Puts the window's mouse pointer back to the default shape.
    virtual void RestoreMousePointer() = 0;
    // Lets the window system deliver pending events once.
    virtual void ProcessEventsOnce() = 0;
};
