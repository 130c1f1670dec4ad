#include "engine/ControlPoller.h"

#include "engine/ControlConnection.h"

#include <cerrno>
#include <cstring>
#include <sys/epoll.h>

namespace {
constexpr int MaxEvents = 256;
}

std::shared_ptr<ControlPoller> ControlPoller::create(QString* reason)
{
    UniqueFd epoll(::epoll_create1(EPOLL_CLOEXEC));
    if (!epoll.valid()) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    return std::shared_ptr<ControlPoller>(new ControlPoller(std::move(epoll)));
}

ControlPoller::ControlPoller(UniqueFd epoll)
    : m_epoll(std::move(epoll)), m_notifier(m_epoll.get(), QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, [this] {
        collect();
        deliver();
    });
}

ControlPoller::~ControlPoller() = default;

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
    m_ready.push_back({key, events});
    deliverLater();
}

size_t ControlPoller::pending()
{
    collect();
    if (!m_ready.empty())
        deliverLater(); // taken from the kernel, so its notifier will not tell
    return m_ready.size();
}

void ControlPoller::collect()
{
    epoll_event events[MaxEvents];
    int n = 0;
    do {
        n = ::epoll_wait(m_epoll.get(), events, MaxEvents, 0);
        for (int i = 0; i < n; ++i)
            m_ready.push_back({events[i].data.u64, events[i].events});
    } while (n == MaxEvents);
}

void ControlPoller::deliverLater()
{
    if (!std::exchange(m_posted, true))
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_posted = false;
                deliver();
            },
            Qt::QueuedConnection);
}

void ControlPoller::deliver()
{
    // A handler may run a nested event loop and so a nested delivery: each
    // works on a batch of its own.
    std::vector<Ready> batch = std::exchange(m_spare, {});
    batch.swap(m_ready);
    for (const Ready& r : batch) {
        // Looked up each time: a handler may have closed any connection.
        if (ControlConnection* connection = m_connections.value(r.key))
            connection->activated(r.events);
    }
    batch.clear();
    if (batch.capacity() > m_spare.capacity())
        m_spare = std::move(batch);
}
