#pragma once
// One control connection's socket, read and written without blocking on the
// owner's thread. It reads ahead a little, so that a client that goes away is
// noticed even while its session is not reading; it keeps what the socket does
// not take at once; and it calls its handler whenever the socket had
// something for it. Idle, it holds no buffer at all.
#include "engine/UniqueFd.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>
#include <functional>
#include <memory>

class ControlPoller;

class ControlConnection {
public:
    // Takes a connected, non-blocking socket.
    ControlConnection(std::shared_ptr<ControlPoller> poller, UniqueFd socket);
    ~ControlConnection();
    ControlConnection(const ControlConnection&) = delete;
    ControlConnection& operator=(const ControlConnection&) = delete;

    // Runs from the event loop after the socket was ready; it may delete the connection.
    void setHandler(std::function<void()> handler) { m_handler = std::move(handler); }
    int descriptor() const { return m_socket.get(); }
    QHostAddress peerAddress() const;
    QHostAddress localAddress() const;

    // Up to max bytes read so far; empty when nothing is there yet.
    QByteArray read(qsizetype max);
    void discardInput();
    // The client has closed its side, or the connection failed.
    bool atEnd() const { return m_ended || m_broken; }
    // The connection failed: nothing more can be sent either.
    bool broken() const { return m_broken; }
    // Bytes the kernel holds that have not been read.
    int unread() const;

    // Sends at once what the socket takes and keeps the rest for later.
    void write(QByteArrayView data);
    qsizetype bytesToWrite() const { return m_output.size(); }
    // No more output: the client sees the end once the kernel has sent the rest.
    void shutdownWrite();

private:
    friend class ControlPoller;
    void activated(quint32 events);
    void fill();
    void flush();
    void fail();
    // Arms the socket for what the connection now waits for.
    void update();

    std::shared_ptr<ControlPoller> m_poller;
    UniqueFd m_socket;
    quint64 m_key = 0;
    quint32 m_armed = 0;
    bool m_ended = false;
    bool m_broken = false;
    bool* m_deleted = nullptr; // set while the handler runs
    QByteArray m_input;
    QByteArray m_output;
    std::function<void()> m_handler;
};
