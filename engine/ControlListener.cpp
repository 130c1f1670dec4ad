#include "engine/ControlListener.h"

#include <fcntl.h>

UniqueFd ControlListener::take()
{
    if (m_accepted.empty())
        return {};
    UniqueFd next = std::move(m_accepted.front());
    m_accepted.pop_front();
    return next;
}

void ControlListener::incomingConnection(qintptr descriptor)
{
    UniqueFd fd{int(descriptor)};
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || (!(flags & O_NONBLOCK) && ::fcntl(fd.get(), F_SETFL, flags | O_NONBLOCK) != 0))
        return; // never block the program on one client: it is closed instead
    m_accepted.push_back(std::move(fd));
}
