#include "engine/ControlPoller.h"

#include "engine/ControlConnection.h"

#include <QMutexLocker>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>

namespace {
constexpr quint64 StopKey = 0;
constexpr int MaxEvents = 256;
} // namespace

std::shared_ptr<ControlPoller> ControlPoller::create(QString* reason)
{
    UniqueFd epoll(::epoll_create1(EPOLL_CLOEXEC));
    UniqueFd stop(epoll.valid() ? ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1);
    epoll_event watch {};
    watch.events = EPOLLIN;
    watch.data.u64 = StopKey;
    if (!stop.valid() || ::epoll_ctl(epoll.get(), EPOLL_CTL_ADD, stop.get(), &watch) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    std::shared_ptr<ControlPoller> poller(new ControlPoller(std::move(epoll), std::move(stop)));
    // Signals stay with the program's own threads: the thread starts with all blocked.
    sigset_t all, previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        poller->m_thread = std::thread([p = poller.get()] { p->run(); });
    } catch (const std::system_error& e) {
        *reason = QString::fromLocal8Bit(e.what());
        poller.reset();
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return poller;
}

ControlPoller::ControlPoller(UniqueFd epoll, UniqueFd stop) : m_epoll(std::move(epoll)), m_stop(std::move(stop)) {}

ControlPoller::~ControlPoller()
{
    if (m_thread.joinable()) {
        const quint64 one = 1;
        while (::write(m_stop.get(), &one, sizeof one) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
}

quint64 ControlPoller::add(int fd, ControlConnection* connection, bool* watched)
{
    const quint64 key = m_nextKey++;
    epoll_event watch {};
    watch.events = EPOLLONESHOT;
    watch.data.u64 = key;
    *watched = ::epoll_ctl(m_epoll.get(), EPOLL_CTL_ADD, fd, &watch) == 0;
    m_connections.insert(key, connection);
    return key;
}

void ControlPoller::remove(quint64 key, int fd)
{
    m_connections.remove(key);
    ::epoll_ctl(m_epoll.get(), EPOLL_CTL_DEL, fd, nullptr);
}

void ControlPoller::arm(quint64 key, int fd, quint32 events)
{
    epoll_event watch {};
    watch.events = events | EPOLLONESHOT;
    watch.data.u64 = key;
    ::epoll_ctl(m_epoll.get(), EPOLL_CTL_MOD, fd, &watch);
}

void ControlPoller::report(quint64 key, quint32 events)
{
    const Ready ready {key, events};
    queue(&ready, 1);
}

size_t ControlPoller::pending()
{
    const QMutexLocker lock(&m_lock);
    return m_ready.size();
}

void ControlPoller::run()
{
    epoll_event events[MaxEvents];
    Ready ready[MaxEvents];
    for (;;) {
        const int n = ::epoll_wait(m_epoll.get(), events, MaxEvents, -1);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        size_t count = 0;
        bool stop = false;
        for (int i = 0; i < n; ++i) {
            if (events[i].data.u64 == StopKey)
                stop = true;
            else
                ready[count++] = {events[i].data.u64, events[i].events};
        }
        if (stop)
            return;
        if (count > 0)
            queue(ready, count);
    }
}

void ControlPoller::queue(const Ready* ready, size_t count)
{
    bool post = false;
    {
        const QMutexLocker lock(&m_lock);
        m_ready.insert(m_ready.end(), ready, ready + count);
        post = !std::exchange(m_posted, true);
    }
    // One wake-up of the owner's thread carries everything queued until it runs.
    if (post)
        QMetaObject::invokeMethod(this, &ControlPoller::deliver, Qt::QueuedConnection);
}

void ControlPoller::deliver()
{
    // A handler may run a nested event loop and so a nested delivery: each
    // works on a batch of its own.
    std::vector<Ready> batch = std::exchange(m_spare, {});
    {
        const QMutexLocker lock(&m_lock);
        batch.swap(m_ready);
        m_posted = false;
    }
    for (const Ready& r : batch) {
        // Looked up each time: a handler may have closed any connection.
        if (ControlConnection* connection = m_connections.value(r.key))
            connection->activated(r.events);
    }
    batch.clear();
    if (batch.capacity() > m_spare.capacity())
        m_spare = std::move(batch);
}
