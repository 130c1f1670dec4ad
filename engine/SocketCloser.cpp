#include "engine/SocketCloser.h"

#include <QTcpSocket>
#include <QTimer>

#include <sys/ioctl.h>
#include <sys/socket.h>

namespace {
constexpr int GraceMs = 10'000;
}

void SocketCloser::close(QTcpSocket* socket, QObject* owner)
{
    if (!socket->isOpen()) {
        // Reset or closed by the client: Qt has closed it already, and reading
        // or shutting it would only warn.
        socket->disconnect();
        socket->deleteLater();
        return;
    }
    socket->readAll();
    socket->flush();
    int unread = 0;
    const int fd = int(socket->socketDescriptor());
    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() == 0
        && ::ioctl(fd, FIONREAD, &unread) == 0 && unread == 0) {
        // Nothing left either way: a plain close sends every reply.
        ::shutdown(fd, SHUT_WR);
        socket->disconnect();
        socket->abort();
        socket->deleteLater();
        return;
    }
    new SocketCloser(socket, owner);
}

SocketCloser::SocketCloser(QTcpSocket* socket, QObject* owner) : QObject(owner), m_socket(socket)
{
    socket->disconnect();
    socket->setParent(this);
    if (socket->state() != QAbstractSocket::ConnectedState) {
        done();
        return;
    }
    connect(socket, &QTcpSocket::bytesWritten, this, &SocketCloser::written);
    connect(socket, &QTcpSocket::readyRead, this, &SocketCloser::drain);
    connect(socket, &QTcpSocket::disconnected, this, &SocketCloser::done);
    connect(socket, &QTcpSocket::errorOccurred, this, &SocketCloser::done);
    QTimer::singleShot(GraceMs, this, &SocketCloser::done);
    drain();
    socket->flush();
    written();
}

void SocketCloser::written()
{
    if (m_shut || m_socket->bytesToWrite() > 0)
        return;
    m_shut = true;
    ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
}

void SocketCloser::drain()
{
    m_socket->readAll();
}

void SocketCloser::done()
{
    m_socket->disconnect(this);
    m_socket->abort();
    deleteLater();
}
