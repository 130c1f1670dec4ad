#include "tests/support/PrivateNetwork.h"

#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Whether this process may bind port 21: root, or a system whose unprivileged ports start low.
// Bound on the loopback address and never listened on, so nothing can reach it meanwhile.
bool mayBindPort21()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(21);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || errno == EADDRINUSE;
    ::close(fd);
    return bound;
}

} // namespace

QString WhyPort21WouldBeExposed()
{
    if (qEnvironmentVariable("QUAYPORT_PRIVATE_NETWORK") == QLatin1String("1") || !mayBindPort21())
        return {};
    return QStringLiteral("a first start here would serve port 21 to the network: run it in a network namespace "
                          "of its own (tests/support/private-network, as root with unshare and ip)");
}
