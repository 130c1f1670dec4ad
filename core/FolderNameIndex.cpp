#include "core/FolderNameIndex.h"

#include "core/InotifyNotices.h"
#include "core/RemoteFileSystem.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t Watched = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF
    | IN_ONLYDIR;
// Folders indexed at once; past that all start again (the program looks
// names up in a handful of its own folders).
constexpr qsizetype Capacity = 64;

std::atomic<qint64> listings{0};

struct FolderKey {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FolderKey&) const = default;
};

size_t qHash(const FolderKey& k, size_t seed = 0)
{
    return qHashMulti(seed, quint64(k.dev), quint64(k.ino));
}

// A notice says only that a name changed, not how: a rename that trades two
// names (as a quick replace does) reads as both names leaving and coming. So
// a noticed name becomes a candidate whose presence the next look-up of it
// checks on the disk.
struct Folder {
    int watch = -1;
    // Case-folded name -> its spellings, in code order.
    QHash<QString, QStringList> names;
    // Case-folded names with a candidate not yet checked.
    QSet<QString> unsure;

    void add(const QString& name)
    {
        QStringList& spellings = names[name.toCaseFolded()];
        const auto at = std::lower_bound(spellings.begin(), spellings.end(), name);
        if (at == spellings.end() || *at != name)
            spellings.insert(at, name);
    }
    void noticed(const QString& name)
    {
        add(name);
        unsure.insert(name.toCaseFolded());
    }
    // Past this, listing again costs less than the candidates' checks.
    bool tooUnsure() const { return unsure.size() > std::max<qsizetype>(4096, names.size()); }

    // The first spelling of the folded name in the folder at path.
    QString find(const QString& path, const QString& folded)
    {
        const auto it = names.find(folded);
        if (it == names.end())
            return {};
        if (unsure.remove(folded)) {
            it->removeIf([&](const QString& spelling) {
                struct stat st {};
                const QByteArray entry = QFile::encodeName(path + QLatin1Char('/') + spelling);
                return ::fstatat(AT_FDCWD, entry.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0
                    && (errno == ENOENT || errno == ENOTDIR);
            });
            if (it->isEmpty()) {
                names.erase(it);
                return {};
            }
        }
        return it->first();
    }
};

class Index {
public:
    ~Index() { closeNotices(); }

    std::optional<QString> lookup(const QString& folder, const QString& name)
    {
        const QMutexLocker lock(&m_mutex);
        if (!openNotices())
            return std::nullopt;
        // Every change made before this call is in the queue by now: reading
        // it first keeps the answer from ever being stale.
        readNotices();
        struct stat st {};
        if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return QString();
        // The path may name another folder than last time (renamed, replaced,
        // a link moved): the folder is known by its identity, not its path.
        auto it = m_folders.find(FolderKey{st.st_dev, st.st_ino});
        if (it == m_folders.end()) {
            if (m_folders.size() >= Capacity)
                closeNotices();
            if (!openNotices())
                return std::nullopt;
            it = watchAndList(folder);
            if (it == m_folders.end())
                return std::nullopt;
        }
        return it->find(folder, name.toCaseFolded());
    }

private:
    bool openNotices()
    {
        if (m_fd < 0)
            m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        return m_fd >= 0;
    }

    // Forgets every folder; the next look-up starts afresh.
    void closeNotices()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        m_folders.clear();
        m_byWatch.clear();
    }

    void forget(int watch)
    {
        const auto it = m_byWatch.constFind(watch);
        if (it == m_byWatch.cend())
            return;
        m_folders.remove(*it);
        m_byWatch.erase(it);
    }

    // The folder watched first and listed after, through one open handle so
    // that the watch and the listing are of the same folder; changes made
    // meanwhile arrive as notices and are applied on top of the listing.
    QHash<FolderKey, Folder>::iterator watchAndList(const QString& folder)
    {
        const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd < 0)
            return m_folders.end();
        struct stat st {};
        const QByteArray handle = "/proc/self/fd/" + QByteArray::number(dirFd);
        const int watch = ::fstat(dirFd, &st) == 0 && !OnRemoteFileSystem(dirFd)
            ? ::inotify_add_watch(m_fd, handle.constData(), Watched)
            : -1;
        DIR* dir = watch >= 0 ? ::fdopendir(dirFd) : nullptr;
        if (!dir) {
            ::close(dirFd);
            if (watch >= 0)
                ::inotify_rm_watch(m_fd, watch);
            return m_folders.end();
        }
        ++listings;
        Folder listed;
        listed.watch = watch;
        errno = 0;
        while (const dirent* e = ::readdir(dir)) {
            const char* n = e->d_name;
            if (!(n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))))
                listed.add(QFile::decodeName(n));
        }
        const bool complete = errno == 0;
        ::closedir(dir);
        if (!complete) {
            ::inotify_rm_watch(m_fd, watch);
            return m_folders.end();
        }
        forget(watch); // a folder once known under another identity
        const FolderKey key{st.st_dev, st.st_ino};
        m_byWatch.insert(watch, key);
        return m_folders.insert(key, std::move(listed));
    }

    void readNotices()
    {
        const bool read = ReadNotices(m_fd, [this](const inotify_event& ev) {
            if (ev.mask & IN_Q_OVERFLOW)
                return false; // notices were lost: nothing known can be trusted
            apply(ev);
            return true;
        });
        if (!read) {
            closeNotices();
            openNotices();
        }
    }

    void apply(const inotify_event& ev)
    {
        const auto key = m_byWatch.constFind(ev.wd);
        if (key == m_byWatch.cend())
            return;
        if (ev.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
            if (!(ev.mask & IN_IGNORED))
                ::inotify_rm_watch(m_fd, ev.wd);
            forget(ev.wd);
            return;
        }
        if (ev.len == 0)
            return;
        Folder& folder = m_folders[*key];
        folder.noticed(QFile::decodeName(ev.name));
        if (folder.tooUnsure()) {
            ::inotify_rm_watch(m_fd, ev.wd);
            forget(ev.wd);
        }
    }

    QMutex m_mutex;
    int m_fd = -1;
    QHash<FolderKey, Folder> m_folders;
    QHash<int, FolderKey> m_byWatch;
};

Index& TheIndex()
{
    static Index index;
    return index;
}

} // namespace

std::optional<QString> WatchedFolderLookup(const QString& folder, const QString& name)
{
    return TheIndex().lookup(folder, name);
}

qint64 WatchedFolderListings()
{
    return listings.load();
}
