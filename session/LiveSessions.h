#pragma once
// How the dialogs reach the live FTP sessions: the console installs its
// engine's once, with the console window's lifetime (never a dialog), and
// deleting an account closes that user's sessions. Held with the console's
// state (session/ConsoleState.h).
#include <QString>
#include <memory>

class LiveSessions {
public:
    virtual ~LiveSessions() = default;
    // Closes every live session whose user name, blanks around it and letter
    // case ignored, is this name; a blank name closes nothing.
    virtual void CloseUserSessions(const QString& userName) = 0;
};

// Installs the sessions for the whole process; returns the ones replaced.
std::shared_ptr<LiveSessions> InstallLiveSessions(std::shared_ptr<LiveSessions> sessions);
// Closes through the installed sessions; nothing when none are installed.
void CloseUserSessions(const QString& userName);
