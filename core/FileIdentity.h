#pragma once
// What tells one state of a file or folder from another, for the remembered
// listings and contents: device, inode, size, modification and change times.
#include <QHash>
#include <QMutex>
#include <QString>
#include <ctime>
#include <functional>
#include <optional>
#include <sys/stat.h>

struct FileIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    mode_t mode = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const FileIdentity& o) const;
};

FileIdentity IdentityOf(const struct stat& st);
// False when the path cannot be looked at.
bool IdentityOf(const QString& path, FileIdentity& id);

// The time a remembered state is dated by.
timespec RememberClockNow();
// True when the state's last change lies so far before the moment it was
// read that a later change cannot carry the same times (time stamps move in
// steps of a few milliseconds on local disks, of seconds on some others).
bool SettledBefore(const FileIdentity& id, const timespec& readAt);

// The clock the remembered states are dated by, and forgets them all; tests
// move it forward. Empty restores the real clock.
void SetRememberClock(std::function<timespec()> clock);
// Called by each cache to be told when the clock changes.
void OnRememberClockChange(std::function<void()> forget);

// Values remembered per path, each with the identity of the state it was read
// from; the clock's tests forget them all. Full, it starts again empty.
template <class Value>
class RememberedStates {
public:
    explicit RememberedStates(qsizetype capacity)
        : m_capacity(capacity)
    {
        OnRememberClockChange([this] { Forget(); });
    }

    // The value read from exactly this state of the path.
    std::optional<Value> Find(const QString& path, const FileIdentity& id) const
    {
        const QMutexLocker lock(&m_mutex);
        const auto it = m_items.constFind(path);
        if (it != m_items.cend() && it->id == id)
            return it->value;
        return std::nullopt;
    }

    // Remembers the value when its state had settled; forgets the path otherwise.
    void Keep(const QString& path, const FileIdentity& id, const Value& value, bool settled)
    {
        const QMutexLocker lock(&m_mutex);
        if (!settled) {
            m_items.remove(path);
            return;
        }
        if (m_items.size() >= m_capacity)
            m_items.clear();
        m_items.insert(path, Item{id, value});
    }

    void Forget(const QString& path)
    {
        const QMutexLocker lock(&m_mutex);
        m_items.remove(path);
    }

    void Forget()
    {
        const QMutexLocker lock(&m_mutex);
        m_items.clear();
    }

private:
    struct Item {
        FileIdentity id;
        Value value;
    };
    const qsizetype m_capacity;
    mutable QMutex m_mutex;
    QHash<QString, Item> m_items;
};
