#pragma once
// Watches every control connection from a thread of its own, so that the
// owner's thread never polls idle sessions: its event loop wakes only for the
// sockets that have something, and then once for all of them. The thread only
// waits; each ready socket is handed to its connection on the owner's thread,
// in the order the kernel reported them. A socket is armed for one report at a
// time (EPOLLONESHOT) and its connection arms it again once it has acted on it,
// so a busy socket never floods the queue.
#include "engine/UniqueFd.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <memory>
#include <thread>
#include <vector>

class ControlConnection;

class ControlPoller final : public QObject {
    Q_OBJECT
public:
    // Null when the system gives no epoll instance or thread; reason says why.
    static std::shared_ptr<ControlPoller> create(QString* reason);
    ~ControlPoller() override;

    // Registers a socket, unarmed; the key names it from then on. Watched is
    // false when the kernel refused it (reports still reach the connection).
    quint64 add(int fd, ControlConnection* connection, bool* watched);
    void remove(quint64 key, int fd);
    // Arms for one report of any of these epoll events (0: errors only).
    void arm(quint64 key, int fd, quint32 events);
    // A report that comes from the owner's thread, delivered as the kernel's are.
    void report(quint64 key, quint32 events);
    // Reports on their way to the owner's thread; tests wait on it.
    size_t pending();

private:
    struct Ready {
        quint64 key;
        quint32 events;
    };
    ControlPoller(UniqueFd epoll, UniqueFd stop);
    void run();
    void queue(const Ready* ready, size_t count);
    void deliver();

    UniqueFd m_epoll;
    UniqueFd m_stop; // eventfd: ends the thread
    std::thread m_thread;
    QMutex m_lock;
    std::vector<Ready> m_ready; // guarded by m_lock
    bool m_posted = false;      // guarded: a delivery is on its way
    std::vector<Ready> m_spare; // keeps its capacity between deliveries
    QHash<quint64, ControlConnection*> m_connections;
    quint64 m_nextKey = 1; // never reused: a late report for a closed socket finds nobody
};
