#include "dialogs/LiveSessions.h"

namespace {

std::shared_ptr<LiveSessions>& installed()
{
    static std::shared_ptr<LiveSessions> sessions;
    return sessions;
}

} // namespace

std::shared_ptr<LiveSessions> InstallLiveSessions(std::shared_ptr<LiveSessions> sessions)
{
    return std::exchange(installed(), std::move(sessions));
}

void CloseUserSessions(const QString& userName)
{
    if (userName.trimmed().isEmpty())
        return;
    if (const std::shared_ptr<LiveSessions> sessions = installed())
        sessions->CloseUserSessions(userName);
}
