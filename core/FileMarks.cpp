#include "core/FileMarks.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <cerrno>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

constexpr uint32_t NameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr uint32_t ContentEvents = IN_MODIFY | IN_ATTRIB;
constexpr uint32_t SelfEvents = IN_DELETE_SELF | IN_MOVE_SELF;
// Names remembered per folder; past that the whole folder counts as changed.
constexpr qsizetype NamesPerFolder = 4096;

// File systems on which another machine changes files without a notice here.
bool RemoteFileSystem(const QByteArray& folder)
{
    struct statfs fs {};
    if (::statfs(folder.constData(), &fs) != 0)
        return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE
    case 0x01021997UL: // 9P
    case 0x00C36400UL: // Ceph
    case 0x5346414FUL: // AFS
    case 0x73757245UL: // Coda
        return true;
    default:
        return false;
    }
}

// Every change is stamped with the next tick of one counter; a mark is the
// latest tick that concerns the file, so it moves with any of them.
struct Ticks {
    quint64 name = 0;
    quint64 content = 0;
};

struct Watch {
    // Watched as a folder of marked files; otherwise only as a folder above one.
    bool holdsFiles = false;
    bool content = false;
    quint64 since = 0; // the folder itself watched, or its names forgotten
    QHash<QString, Ticks> names; // by case-folded name
};

class Marks {
public:
    ~Marks() { reset(); }

    std::optional<quint64> mark(const QString& path, MarkOf kind)
    {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0 || slash == path.size() - 1)
            return std::nullopt;
        const QString folder = path.left(slash);
        const QMutexLocker lock(&m_mutex);
        if (m_fd < 0) {
            m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            if (m_fd < 0)
                return std::nullopt;
        }
        readNotices();
        Watch* watch = watchFolder(folder, kind == MarkOf::Content);
        if (!watch)
            return std::nullopt;
        quint64 at = std::max(m_epoch, watch->since);
        const auto it = watch->names.constFind(path.mid(slash + 1).toCaseFolded());
        if (it != watch->names.cend())
            at = std::max(at, kind == MarkOf::Content ? it->content : it->name);
        return at;
    }

private:
    // Forgets every watch; every mark moves.
    void reset()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        m_watches.clear();
        m_folders.clear();
        m_epoch = ++m_tick;
    }

    Watch* watchFolder(const QString& folder, bool content)
    {
        const auto known = m_folders.constFind(folder);
        if (known != m_folders.cend()) {
            Watch& watch = m_watches[*known];
            if (!content || watch.content)
                return &watch;
        }
        const QByteArray name = QFile::encodeName(folder);
        if (RemoteFileSystem(name))
            return nullptr;
        const uint32_t mask = NameEvents | SelfEvents | (content ? ContentEvents : 0u);
        const int wd = ::inotify_add_watch(m_fd, name.constData(), mask | IN_ONLYDIR | IN_MASK_ADD);
        if (wd < 0)
            return nullptr;
        Watch& watch = m_watches[wd];
        if (!watch.holdsFiles) {
            watch.holdsFiles = true;
            watch.since = ++m_tick;
            watchFoldersAbove(folder);
        }
        watch.content = watch.content || content;
        m_folders.insert(folder, wd);
        return &watch;
    }

    // A folder above that moves or goes takes the marked files' folder with it.
    void watchFoldersAbove(const QString& folder)
    {
        for (qsizetype slash = folder.lastIndexOf(QLatin1Char('/')); slash > 0;
             slash = folder.lastIndexOf(QLatin1Char('/'), slash - 1)) {
            const QByteArray above = QFile::encodeName(folder.left(slash));
            const int wd = ::inotify_add_watch(m_fd, above.constData(), SelfEvents | IN_ONLYDIR | IN_MASK_ADD);
            if (wd >= 0)
                m_watches[wd]; // known, so its notices count
        }
    }

    void readNotices()
    {
        alignas(inotify_event) char buffer[16 * 1024];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                return;
            bool trusted = n > 0;
            for (ssize_t at = 0; trusted && at < n;) {
                const auto* ev = reinterpret_cast<const inotify_event*>(buffer + at);
                at += ssize_t(sizeof(inotify_event) + ev->len);
                trusted = apply(*ev);
            }
            if (!trusted) {
                // Notices lost or a watched folder gone: start again.
                reset();
                m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
                return;
            }
        }
    }

    // False when nothing kept can be trusted any more: notices were lost, or
    // a folder of marked files, or one above them, moved or went, so paths
    // now name other folders or none.
    bool apply(const inotify_event& ev)
    {
        if (ev.mask & IN_Q_OVERFLOW)
            return false;
        const auto it = m_watches.find(ev.wd);
        if (it == m_watches.end())
            return true;
        if (ev.mask & (SelfEvents | IN_IGNORED | IN_UNMOUNT))
            return false;
        Watch& watch = it.value();
        if (!watch.holdsFiles || ev.len == 0)
            return true;
        if (watch.names.size() >= NamesPerFolder) {
            watch.names.clear();
            watch.since = ++m_tick;
        }
        Ticks& ticks = watch.names[QFile::decodeName(ev.name).toCaseFolded()];
        ticks.content = ++m_tick;
        if (ev.mask & NameEvents)
            ticks.name = ticks.content;
        return true;
    }

    QMutex m_mutex;
    int m_fd = -1;
    quint64 m_tick = 0;
    quint64 m_epoch = 0;
    QHash<int, Watch> m_watches;
    QHash<QString, int> m_folders; // folder path as asked -> its watch
};

Marks& TheMarks()
{
    static Marks marks;
    return marks;
}

} // namespace

std::optional<quint64> FileMark(const QString& path, MarkOf kind)
{
    return TheMarks().mark(path, kind);
}
