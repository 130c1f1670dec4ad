#include "core/FileMarks.h"

#include "core/InotifyNotices.h"
#include "core/RemoteFileSystem.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QSet>
#include <atomic>
#include <memory>
#include <cerrno>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr uint32_t NameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr uint32_t SelfEvents = IN_DELETE_SELF | IN_MOVE_SELF;
constexpr uint32_t ContentEvents = IN_MODIFY | IN_ATTRIB;
constexpr uint32_t FolderMask = NameEvents | SelfEvents | IN_ONLYDIR;
constexpr uint32_t AboveMask = SelfEvents | IN_ONLYDIR;
// Names and paths remembered; past that they start again (every mark moves).
constexpr qsizetype Remembered = 4096;

// The notification under way on this thread, and whether its notices are read.
thread_local int t_instants = 0;
thread_local quint64 t_instant = 0;
thread_local bool t_read = false;
std::atomic<bool> ownChange{false};
std::atomic<quint64> instants{0};

// Every change is stamped with the next tick of one counter; a mark is the
// latest tick that concerns the file, so it moves with any of them.
struct Ticks {
    quint64 name = 0;    // created, deleted, renamed in or out
    quint64 content = 0; // the above, or its bytes or attributes changed
    // The name tick when the file itself was last watched: a later name
    // change may have put another file in its place.
    std::optional<quint64> watchedAt;
};

// A folder holding marked files: notices of the names in it.
struct Folder {
    quint64 since = 0; // watched, or its names forgotten
    // By case-folded name; each kept apart so that a path asked about can
    // hold on to its name's ticks.
    QHash<QString, std::shared_ptr<Ticks>> names;

    std::shared_ptr<Ticks> ticks(const QString& folded)
    {
        std::shared_ptr<Ticks>& t = names[folded];
        if (!t)
            t = std::make_shared<Ticks>();
        return t;
    }
};

// A marked file itself, watched for its content: a change made through any
// of its names (a hard link elsewhere too) is noticed.
struct FileName {
    int folder;
    QString folded;
    bool operator==(const FileName&) const = default;
};

// A file asked about: its folder's watch, its case-folded name and that
// name's ticks (held by the folder too, so notices reach them).
struct Known {
    int folder = -1;
    QString folded;
    std::shared_ptr<Ticks> ticks;
};

class Marks {
public:
    ~Marks() { reset(); }

    std::optional<quint64> mark(const QString& path, MarkOf kind)
    {
        const QMutexLocker lock(&m_mutex);
        if (m_fd < 0) {
            m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            if (m_fd < 0)
                return std::nullopt;
            m_epoch = ++m_tick;
        }
        // Cleared before the read, which takes in every change told so far.
        if (ownChange.exchange(false) || t_instants == 0 || !t_read) {
            readNotices();
            t_read = true;
        }
        auto known = m_paths.constFind(path);
        if (known == m_paths.cend()) {
            std::optional<Known> found = watchFolderOf(path);
            if (!found)
                return std::nullopt;
            if (m_paths.size() >= Remembered)
                m_paths.clear();
            Folder& folder = m_folders[found->folder];
            if (folder.names.size() >= Remembered) {
                // Forgotten names: every mark in the folder moves, and the
                // paths holding their ticks are asked about afresh.
                folder.names.clear();
                folder.since = ++m_tick;
                m_paths.clear();
            }
            found->ticks = folder.ticks(found->folded);
            known = m_paths.insert(path, *found);
        }
        Ticks& ticks = *known->ticks;
        if (kind == MarkOf::Content && ticks.watchedAt != ticks.name
            && !watchFile(path, FileName{known->folder, known->folded}, ticks))
            return std::nullopt;
        const auto folder = m_folders.constFind(known->folder);
        const quint64 at = std::max(m_epoch, folder != m_folders.cend() ? folder->since : 0);
        return std::max(at, kind == MarkOf::Content ? ticks.content : ticks.name);
    }

private:
    // Forgets every watch; every mark moves.
    void reset()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        m_folders.clear();
        m_above.clear();
        m_files.clear();
        m_paths.clear();
    }

    std::optional<Known> watchFolderOf(const QString& path)
    {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0 || slash == path.size() - 1)
            return std::nullopt;
        const QString folder = path.left(slash);
        const QByteArray name = QFile::encodeName(folder);
        if (OnRemoteFileSystem(name))
            return std::nullopt;
        const int wd = ::inotify_add_watch(m_fd, name.constData(), FolderMask | IN_MASK_ADD);
        if (wd < 0)
            return std::nullopt;
        if (!m_folders.contains(wd)) {
            if (!watchFoldersAbove(folder))
                return std::nullopt;
            m_folders[wd].since = ++m_tick;
        }
        return Known{wd, path.mid(slash + 1).toCaseFolded(), nullptr};
    }

    // A folder above that moves or goes takes the marked files' folder with
    // it; false when one cannot be watched.
    bool watchFoldersAbove(const QString& folder)
    {
        for (qsizetype slash = folder.lastIndexOf(QLatin1Char('/')); slash > 0;
             slash = folder.lastIndexOf(QLatin1Char('/'), slash - 1)) {
            const QByteArray above = QFile::encodeName(folder.left(slash));
            const int wd = ::inotify_add_watch(m_fd, above.constData(), AboveMask | IN_MASK_ADD);
            if (wd < 0)
                return false;
            m_above.insert(wd);
        }
        return true;
    }

    // Watches the file now at the path; a missing one (its coming is a name
    // change) is watched again after the next change of its name. False when
    // a file that is there cannot be watched (no watches left): its content
    // then has no mark.
    bool watchFile(const QString& path, const FileName& name, Ticks& ticks)
    {
        const QByteArray file = QFile::encodeName(path);
        const int wd = ::inotify_add_watch(m_fd, file.constData(), ContentEvents | SelfEvents | IN_MASK_ADD);
        if (wd < 0 && errno != ENOENT && errno != ENOTDIR)
            return false;
        ticks.watchedAt = ticks.name;
        if (wd < 0)
            return true;
        if (m_folders.contains(wd) || m_above.contains(wd)) {
            // A folder in the file's place: its content is its names, which
            // its own watch tells. That watch keeps its own events only.
            ::inotify_add_watch(m_fd, file.constData(), m_folders.contains(wd) ? FolderMask : AboveMask);
            return true;
        }
        QList<FileName>& names = m_files[wd];
        if (!names.contains(name))
            names.append(name);
        return true;
    }

    void readNotices()
    {
        if (ReadNotices(m_fd, [this](const inotify_event& ev) { return apply(ev); }))
            return;
        // Start again: every mark moves.
        reset();
        m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        m_epoch = ++m_tick;
    }

    // False when nothing kept can be trusted any more: notices were lost, or
    // a folder of marked files, or one above them, moved or went, so paths
    // now name other folders or none.
    bool apply(const inotify_event& ev)
    {
        if (ev.mask & IN_Q_OVERFLOW)
            return false;
        if (const auto file = m_files.find(ev.wd); file != m_files.end()) {
            const quint64 tick = ++m_tick;
            for (const FileName& name : std::as_const(*file)) {
                Ticks& ticks = *m_folders[name.folder].ticks(name.folded);
                ticks.content = tick;
                if (ev.mask & (SelfEvents | IN_IGNORED))
                    ticks.name = tick; // watched again at the next question
            }
            if (ev.mask & IN_IGNORED)
                m_files.erase(file);
            return true;
        }
        const auto folder = m_folders.find(ev.wd);
        if (folder == m_folders.end() && !m_above.contains(ev.wd))
            return true;
        if (ev.mask & (SelfEvents | IN_IGNORED | IN_UNMOUNT))
            return false;
        if (folder == m_folders.end() || ev.len == 0)
            return true;
        if (folder->names.size() >= Remembered) {
            folder->names.clear();
            folder->since = ++m_tick;
            m_paths.clear();
        }
        Ticks& ticks = *folder->ticks(QFile::decodeName(ev.name).toCaseFolded());
        ticks.name = ticks.content = ++m_tick;
        return true;
    }

    QMutex m_mutex;
    int m_fd = -1;
    quint64 m_tick = 0;
    quint64 m_epoch = 0;
    QHash<int, Folder> m_folders;
    QSet<int> m_above;
    QHash<int, QList<FileName>> m_files;
    QHash<QString, Known> m_paths; // as asked
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

FileInstant::FileInstant()
{
    ++t_instants;
    t_instant = ++instants;
    t_read = false; // a notification begins: read what came before it
}

FileInstant::~FileInstant()
{
    // The rest of an enclosing notification counts as a new one.
    t_instant = --t_instants > 0 ? ++instants : 0;
    t_read = false;
}

quint64 CurrentFileInstant()
{
    return t_instant;
}

void NoteOwnFileChange()
{
    ownChange.store(true);
}
