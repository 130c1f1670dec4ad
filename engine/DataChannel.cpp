#include "engine/DataChannel.h"

#include <QSocketNotifier>
#include <QTcpServer>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

class PassiveListener : public QTcpServer {
public:
    std::function<void(int)> onAccept;

protected:
    void incomingConnection(qintptr fd) override { onAccept(int(fd)); }
};

namespace {
QHostAddress peerOf(int fd)
{
    sockaddr_storage addr {};
    socklen_t len = sizeof addr;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return {};
    return plainAddress(QHostAddress(reinterpret_cast<sockaddr*>(&addr)));
}

void makeNonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

socklen_t fill(sockaddr_storage& addr, const QHostAddress& host, quint16 port)
{
    std::memset(&addr, 0, sizeof addr);
    if (host.protocol() == QAbstractSocket::IPv4Protocol) {
        auto* in = reinterpret_cast<sockaddr_in*>(&addr);
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        in->sin_addr.s_addr = htonl(host.toIPv4Address());
        return sizeof(sockaddr_in);
    }
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&addr);
    in6->sin6_family = AF_INET6;
    in6->sin6_port = htons(port);
    const Q_IPV6ADDR ip = host.toIPv6Address();
    std::memcpy(&in6->sin6_addr, ip.c, 16);
    in6->sin6_scope_id = host.scopeId().toUInt();
    return sizeof(sockaddr_in6);
}
} // namespace

DataChannel::DataChannel(const QHostAddress& controlPeer, QObject* parent)
    : QObject(parent), m_peer(plainAddress(controlPeer))
{
}

DataChannel::~DataChannel() = default;

quint16 DataChannel::listen(const QHostAddress& local)
{
    m_listener = std::make_unique<PassiveListener>();
    m_listener->onAccept = [this](int fd) { accepted(fd); };
    if (!m_listener->listen(local, 0)) {
        m_listener.reset();
        return 0;
    }
    m_mode = Mode::Passive;
    return m_listener->serverPort();
}

void DataChannel::connectLater(const DataAddress& target, const QHostAddress& local)
{
    m_mode = Mode::Active;
    m_target = target;
    m_local = plainAddress(local);
}

void DataChannel::accepted(int fd)
{
    UniqueFd socket(fd);
    if (peerOf(fd) != m_peer || m_socket.valid())
        return; // someone else, or a second connection: dropped
    makeNonBlocking(fd);
    m_socket = std::move(socket);
    m_socketReady = true;
    m_listener->close();
    if (m_opening)
        QMetaObject::invokeMethod(this, &DataChannel::connected, Qt::QueuedConnection);
}

void DataChannel::open()
{
    if (m_opening)
        return;
    m_opening = true;
    if (m_mode == Mode::Passive) {
        if (m_socketReady)
            QMetaObject::invokeMethod(this, &DataChannel::connected, Qt::QueuedConnection);
        return;
    }
    if (m_mode != Mode::Active) {
        fail(QStringLiteral("no data connection prepared"));
        return;
    }
    const int family = m_target.host.protocol() == QAbstractSocket::IPv4Protocol ? AF_INET : AF_INET6;
    m_socket.reset(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!m_socket.valid()) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    sockaddr_storage addr;
    if (m_local.protocol() == m_target.host.protocol()) {
        const socklen_t len = fill(addr, m_local, 0);
        ::bind(m_socket.get(), reinterpret_cast<sockaddr*>(&addr), len); // best effort: the kernel picks otherwise
    }
    const socklen_t len = fill(addr, m_target.host, m_target.port);
    if (::connect(m_socket.get(), reinterpret_cast<sockaddr*>(&addr), len) == 0) {
        m_socketReady = true;
        QMetaObject::invokeMethod(this, &DataChannel::connected, Qt::QueuedConnection);
        return;
    }
    if (errno != EINPROGRESS) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_connectWatch = new QSocketNotifier(m_socket.get(), QSocketNotifier::Write, this);
    connect(m_connectWatch, &QSocketNotifier::activated, this, &DataChannel::connectFinished);
}

void DataChannel::connectFinished()
{
    m_connectWatch->setEnabled(false);
    m_connectWatch->deleteLater();
    m_connectWatch = nullptr;
    int error = 0;
    socklen_t len = sizeof error;
    if (::getsockopt(m_socket.get(), SOL_SOCKET, SO_ERROR, &error, &len) != 0)
        error = errno;
    if (error != 0) {
        m_socket.reset();
        Q_EMIT failed(QString::fromLocal8Bit(std::strerror(error)));
        return;
    }
    m_socketReady = true;
    Q_EMIT connected();
}

void DataChannel::fail(const QString& reason)
{
    m_socket.reset();
    QMetaObject::invokeMethod(
        this, [this, reason] { Q_EMIT failed(reason); }, Qt::QueuedConnection);
}

UniqueFd DataChannel::take()
{
    m_socketReady = false;
    return std::move(m_socket);
}
