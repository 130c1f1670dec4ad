#include "core/FileIdentity.h"

#include <QFile>
#include <QList>
#include <QMutex>

namespace {

constexpr long long TrustAfterNs = 2'000'000'000LL;

long long Ns(const timespec& t)
{
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

struct Clock {
    QMutex mutex;
    std::function<timespec()> now;
    QList<std::function<void()>> listeners;
};

Clock& TheClock()
{
    static Clock clock;
    return clock;
}

} // namespace

bool FileIdentity::operator==(const FileIdentity& o) const
{
    return dev == o.dev && ino == o.ino && size == o.size && mode == o.mode && Ns(mtime) == Ns(o.mtime)
        && Ns(ctime) == Ns(o.ctime);
}

FileIdentity IdentityOf(const struct stat& st)
{
    return FileIdentity{st.st_dev, st.st_ino, st.st_size, st.st_mode, st.st_mtim, st.st_ctim};
}

bool IdentityOf(const QString& path, FileIdentity& id)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    id = IdentityOf(st);
    return true;
}

timespec RememberClockNow()
{
    Clock& c = TheClock();
    {
        const QMutexLocker lock(&c.mutex);
        if (c.now)
            return c.now();
    }
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return t;
}

bool SettledBefore(const FileIdentity& id, const timespec& readAt)
{
    return Ns(id.mtime) + TrustAfterNs < Ns(readAt) && Ns(id.ctime) + TrustAfterNs < Ns(readAt);
}

void SetRememberClock(std::function<timespec()> clock)
{
    Clock& c = TheClock();
    QList<std::function<void()>> listeners;
    {
        const QMutexLocker lock(&c.mutex);
        c.now = std::move(clock);
        listeners = c.listeners;
    }
    for (const auto& forget : listeners)
        forget();
}

void OnRememberClockChange(std::function<void()> forget)
{
    Clock& c = TheClock();
    const QMutexLocker lock(&c.mutex);
    c.listeners.append(std::move(forget));
}
