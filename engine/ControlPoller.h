#pragma once
// Watches every control connection through one epoll instance, so that the
// event loop polls a single descriptor for all of them: a wake-up costs the
// same with ten idle sessions as with a thousand, and only the sockets that
// have something are handed to their connections, in the order the kernel
// reported them. A socket is armed for one report at a time (EPOLLONESHOT)
// and its connection arms it again once it has acted on it.
#include "engine/UniqueFd.h"

#include <QHash>
#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <vector>

class ControlConnection;

class ControlPoller final : public QObject {
    Q_OBJECT
public:
    // Null when the system gives no epoll instance; reason says why.
    static std::shared_ptr<ControlPoller> create(QString* reason);
    ~ControlPoller() override;

    // Registers a socket, unarmed; the key names it from then on. Watched is
    // false when the kernel refused it (reports still reach the connection).
    quint64 add(int fd, ControlConnection* connection, bool* watched);
    void remove(quint64 key, int fd);
    // Arms for one report of any of these epoll events (0: errors only).
    void arm(quint64 key, int fd, quint32 events);
    // A report made here, delivered from the event loop as the kernel's are.
    void report(quint64 key, quint32 events);
    // Reports taken from the kernel or made here and not yet delivered; tests wait on it.
    size_t pending();

private:
    struct Ready {
        quint64 key;
        quint32 events;
    };
    explicit ControlPoller(UniqueFd epoll);
    // Takes what the kernel has ready without waiting.
    void collect();
    void deliver();
    void deliverLater();

    UniqueFd m_epoll;
    QSocketNotifier m_notifier;
    std::vector<Ready> m_ready;
    bool m_posted = false;      // a delivery is queued in the event loop
    std::vector<Ready> m_spare; // keeps its capacity between deliveries
    QHash<quint64, ControlConnection*> m_connections;
    quint64 m_nextKey = 1; // never reused: a late report for a closed socket finds nobody
};
