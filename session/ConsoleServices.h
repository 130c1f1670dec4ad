#pragma once
// What the session handlers need of the console window. The window implements
// it; tests use a recording double, so the handlers run without a window.
#include <QString>

// What became of a start or a stop of the server. The console decides which
// of its commands each one enables.
enum class ServerChange {
    Started,
    StartFailed, // the server is not running
    Stopped,
    StopFailed   // the server is still running
};

class ConsoleServices {
public:
    virtual ~ConsoleServices() = default;
    // One information row on the console log ("server" as address and user).
    virtual void InfoLog(const QString& text) = 0;
    // Rebuilds the connection subtree and refreshes the selected pane.
    virtual void UpdateUserTree() = 0;
    virtual void ServerChanged(ServerChange change) = 0;
    // Puts the window's mouse pointer back to the default shape.
    virtual void RestoreMousePointer() = 0;
    // Lets the window system deliver pending events once.
    virtual void ProcessEventsOnce() = 0;
};
