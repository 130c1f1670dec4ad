#include "engine/ControlConnection.h"

#include "engine/ControlPoller.h"

#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace {
constexpr qsizetype ReadChunk = 4096;
// As much as a session may leave unread before the connection stops reading.
constexpr qsizetype ReadAhead = 16 * 1024;

bool wouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

QHostAddress address(int fd, int (*get)(int, sockaddr*, socklen_t*))
{
    sockaddr_storage a {};
    socklen_t size = sizeof a;
    return get(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0 ? QHostAddress(reinterpret_cast<sockaddr*>(&a))
                                                                 : QHostAddress();
}
} // namespace

ControlConnection::ControlConnection(std::shared_ptr<ControlPoller> poller, UniqueFd socket)
    : m_poller(std::move(poller)), m_socket(std::move(socket))
{
    const int one = 1;
    ::setsockopt(m_socket.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // An ABOR sent as urgent data must stay in the command stream.
    ::setsockopt(m_socket.get(), SOL_SOCKET, SO_OOBINLINE, &one, sizeof one);
    bool watched = false;
    m_key = m_poller->add(m_socket.get(), this, &watched);
    if (!watched) {
        m_broken = true;
        m_poller->report(m_key, 0);
        return;
    }
    update();
}

ControlConnection::~ControlConnection()
{
    if (m_deleted)
        *m_deleted = true;
    m_poller->remove(m_key, m_socket.get());
}

QHostAddress ControlConnection::peerAddress() const
{
    return address(m_socket.get(), ::getpeername);
}

QHostAddress ControlConnection::localAddress() const
{
    return address(m_socket.get(), ::getsockname);
}

QByteArray ControlConnection::read(qsizetype max)
{
    const bool wasFull = m_input.size() >= ReadAhead;
    QByteArray out;
    if (m_input.size() <= max) {
        out = std::exchange(m_input, {});
    } else {
        out = m_input.left(max);
        m_input.remove(0, max);
    }
    if (wasFull)
        update();
    return out;
}

void ControlConnection::discardInput()
{
    const bool wasFull = m_input.size() >= ReadAhead;
    m_input.clear();
    if (wasFull)
        update();
}

int ControlConnection::unread() const
{
    int count = 0;
    return ::ioctl(m_socket.get(), FIONREAD, &count) == 0 ? count : 0;
}

void ControlConnection::write(QByteArrayView data)
{
    if (m_broken || data.isEmpty())
        return;
    qsizetype sent = 0;
    if (m_output.isEmpty()) {
        const ssize_t n = ::send(m_socket.get(), data.data(), size_t(data.size()), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0 && !wouldBlock()) {
            fail();
            // The owner is in its own code now: it hears of this from the event loop.
            m_poller->report(m_key, 0);
            return;
        }
        sent = n > 0 ? n : 0;
        if (sent == data.size())
            return;
    }
    m_output.append(data.data() + sent, data.size() - sent);
    update();
}

void ControlConnection::shutdownWrite()
{
    ::shutdown(m_socket.get(), SHUT_WR);
}

void ControlConnection::activated(quint32 events)
{
    m_armed = 0; // a report disarms the socket
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR))
        fill();
    if (events & (EPOLLOUT | EPOLLHUP | EPOLLERR))
        flush();
    bool deleted = false;
    bool* outer = std::exchange(m_deleted, &deleted);
    // A copy: the handler may replace itself (the connection changing hands).
    if (const std::function<void()> handler = m_handler)
        handler();
    if (deleted) {
        if (outer)
            *outer = true;
        return;
    }
    m_deleted = outer;
    update();
}

void ControlConnection::fill()
{
    bool read = false;
    while (!atEnd() && m_input.size() < ReadAhead) {
        char buffer[ReadChunk];
        const qsizetype room = std::min<qsizetype>(sizeof buffer, ReadAhead - m_input.size());
        const ssize_t n = ::recv(m_socket.get(), buffer, size_t(room), MSG_DONTWAIT);
        if (n > 0) {
            m_input.append(buffer, n);
            read = true;
            if (n < room)
                return; // drained; if not, the socket is armed again anyway
            continue;
        }
        if (n < 0 && wouldBlock())
            return;
        // The end (or a failure) after data is noticed on the next report, once
        // the owner has had that data.
        if (read)
            return;
        if (n == 0)
            m_ended = true;
        else
            fail();
    }
}

void ControlConnection::flush()
{
    while (!m_output.isEmpty() && !m_broken) {
        const ssize_t n = ::send(m_socket.get(), m_output.constData(), size_t(m_output.size()),
                                 MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0) {
            if (!wouldBlock())
                fail();
            return;
        }
        if (n == m_output.size())
            m_output.clear(); // frees it
        else
            m_output.remove(0, n);
    }
}

void ControlConnection::fail()
{
    m_broken = true;
    m_input.clear();
    m_output.clear();
}

void ControlConnection::update()
{
    quint32 want = 0;
    if (!atEnd() && m_input.size() < ReadAhead)
        want |= EPOLLIN;
    if (!m_output.isEmpty())
        want |= EPOLLOUT;
    if (want == m_armed)
        return;
    m_armed = want;
    m_poller->arm(m_key, m_socket.get(), want);
}
