#include "session/LiveSessions.h"

#include "session/ConsoleState.h"

std::shared_ptr<LiveSessions> InstallLiveSessions(std::shared_ptr<LiveSessions> sessions)
{
    return std::exchange(ConsoleState::Current().Sessions, std::move(sessions));
}

void CloseUserSessions(const QString& userName)
{
    if (userName.trimmed().isEmpty())
        return;
    if (const std::shared_ptr<LiveSessions> sessions = ConsoleState::Current().Sessions)
        sessions->CloseUserSessions(userName);
}
