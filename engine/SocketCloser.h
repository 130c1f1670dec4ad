#pragma once
// Closes a control connection without losing the last replies: what is
// queued is sent, our side is shut, and whatever the client still sends is
// read and dropped until it closes too (closing with unread input would
// reset the connection and could destroy the replies in flight).
#include <QObject>
#include <QTimer>
#include <memory>

class ControlConnection;

class SocketCloser : public QObject {
    Q_OBJECT
public:
    // Takes the connection over; both go away once it is down, or after a grace time.
    static void close(std::unique_ptr<ControlConnection> connection, QObject* owner);
    ~SocketCloser() override;

private:
    SocketCloser(std::unique_ptr<ControlConnection> connection, QObject* owner);
    void step();
    void done();

    std::unique_ptr<ControlConnection> m_connection;
    QTimer m_grace;
    bool m_shut = false;
};
