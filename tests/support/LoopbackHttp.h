#pragma once
// A web server for tests, on 127.0.0.1 and a port the system chooses: it gathers each request's
// head and hands it with its connection to the test, which answers at once or later.
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

class LoopbackHttp : public QObject {
public:
    using Handler = std::function<void(QTcpSocket* socket, const QByteArray& head)>;

    explicit LoopbackHttp(Handler handler) : m_handler(std::move(handler))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        });
    }
    quint16 port() const { return m_server.serverPort(); }

    // An HTML answer that nothing keeps, then the end of the connection.
    static void Answer(QTcpSocket* socket, const QByteArray& status, const QByteArray& body)
    {
        socket->write("HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\nCache-Control: no-store\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = m_pending[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QByteArray head = m_pending.take(socket);
        m_handler(socket, head);
    }

    Handler m_handler;
    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_pending;
};
