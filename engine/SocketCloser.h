#pragma once
// Closes a control connection without losing the last replies: what is
// queued is sent, our side is shut, and whatever the client still sends is
// read and dropped until it closes too (closing with unread input would
// reset the connection and could destroy the replies in flight).
#include <QObject>

class QTcpSocket;

class SocketCloser : public QObject {
    Q_OBJECT
public:
    // Takes the socket over; both go away once the connection is down.
    static void close(QTcpSocket* socket, QObject* owner);

private:
    SocketCloser(QTcpSocket* socket, QObject* owner);
    void written();
    void drain();
    void done();

    QTcpSocket* m_socket;
    bool m_shut = false;
};
