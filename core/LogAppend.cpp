#include "core/LogAppend.h"

#include "core/FileMarks.h"
#include "core/FileNames.h"
#include "core/RawWrite.h"
#include "core/RegularFile.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int AppendFlags = O_WRONLY | O_APPEND;
// Logs held open at once: the server log and a handful of group and user logs.
constexpr qsizetype KeptOpen = 16;

int openLog(const QByteArray& path, int flags, int& err)
{
    return OpenRegularFile(path, flags, 0666, err);
}

// Opens the log for appending; created names the file when it was made here.
int openForAppend(const QString& path, QByteArray& created, int& err)
{
    // A log that exists as spelt needs no letter-case look-up; any other
    // takes the resolver's spelling and may be created.
    int fd = openLog(QFile::encodeName(path), AppendFlags, err);
    if (fd < 0) {
        const QByteArray resolved = QFile::encodeName(ResolvePath(path));
        fd = openLog(resolved, AppendFlags, err);
        if (fd < 0 && err == ENOENT) {
            fd = openLog(resolved, AppendFlags | O_CREAT | O_EXCL, err);
            if (fd >= 0) {
                created = resolved;
                NoteOwnFileChange();
            } else if (err == EEXIST) { // made meanwhile by someone else
                fd = openLog(resolved, AppendFlags, err);
            }
        }
    }
    return fd;
}

// The descriptors of the logs written at every FTP event, kept open from one
// append to the next while the file's mark stands (FileMarks.h): a log that
// is deleted, renamed (a rotation, the log viewer's new log) or replaced is
// opened again by its name at the next append, exactly as without keeping.
class KeptLogs {
public:
    ~KeptLogs()
    {
        for (const Kept& k : std::as_const(m_kept))
            ::close(k.fd);
    }

    FileOpResult append(const QString& path, const QByteArray& bytes, qint64& sizeAfter)
    {
        // The mark is taken before any open, so a change made after it moves it.
        const std::optional<quint64> mark = FileMark(path);
        const QMutexLocker lock(&m_mutex);
        auto kept = m_kept.find(path);
        if (kept != m_kept.end() && (!mark || kept->mark != *mark)) {
            ::close(kept->fd);
            m_kept.erase(kept);
            kept = m_kept.end();
        }
        int fd = kept != m_kept.end() ? kept->fd : -1;
        QByteArray created; // a file made here goes again when nothing could be written to it
        if (fd < 0) {
            int err = 0;
            fd = openForAppend(path, created, err);
            if (fd < 0)
                return ErrnoFailure(err);
        }
        if (const int failed = AppendAll(fd, bytes)) {
            if (kept != m_kept.end())
                m_kept.erase(kept);
            ::close(fd);
            if (!created.isEmpty()) {
                ::unlink(created.constData());
                NoteOwnFileChange();
            }
            return ErrnoFailure(failed);
        }
        const off_t end = ::lseek(fd, 0, SEEK_CUR); // an appending write leaves the offset at the end
        if (kept != m_kept.end()) {
            kept->used = ++m_uses;
        } else if (!mark) {
            if (::close(fd) != 0)
                return ErrnoFailure(errno);
        } else {
            keep(path, Kept{fd, *mark, ++m_uses});
        }
        sizeAfter = end;
        return {};
    }

    // The length known without a look at the disk, if any.
    std::optional<qint64> knownLength(const QString& path, const std::optional<quint64>& mark)
    {
        if (!mark)
            return std::nullopt;
        const QMutexLocker lock(&m_mutex);
        if (const auto kept = m_kept.constFind(path); kept != m_kept.cend() && kept->mark == *mark) {
            struct stat st {};
            if (::fstat(kept->fd, &st) == 0)
                return qint64(st.st_size);
        }
        if (const auto missing = m_missing.constFind(path); missing != m_missing.cend() && *missing == *mark)
            return -1;
        return std::nullopt;
    }

    void missing(const QString& path, quint64 mark)
    {
        const QMutexLocker lock(&m_mutex);
        if (m_missing.size() >= 256)
            m_missing.clear();
        m_missing.insert(path, mark);
    }

private:
    struct Kept {
        int fd;
        quint64 mark;
        quint64 used;
    };

    void keep(const QString& path, const Kept& kept)
    {
        if (m_kept.size() >= KeptOpen) {
            // The log unused longest goes.
            auto oldest = m_kept.begin();
            for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
                if (it->used < oldest->used)
                    oldest = it;
            }
            ::close(oldest->fd);
            m_kept.erase(oldest);
        }
        m_kept.insert(path, kept);
        m_missing.remove(path);
    }

    QMutex m_mutex;
    QHash<QString, Kept> m_kept;
    QHash<QString, quint64> m_missing; // logs found missing, with their mark then
    quint64 m_uses = 0;
};

KeptLogs& Kept()
{
    static KeptLogs kept;
    return kept;
}

} // namespace

FileOpResult AppendMeasured(const QString& path, const QByteArray& bytes, qint64& sizeAfter)
{
    sizeAfter = -1;
    return Kept().append(path, bytes, sizeAfter);
}

qint64 LogLength(const QString& path)
{
    // The mark is taken first, so a log made after it moves it.
    const std::optional<quint64> mark = FileMark(path);
    if (const std::optional<qint64> known = Kept().knownLength(path, mark))
        return *known;
    const qint64 length = FileLength(path);
    if (length < 0 && mark)
        Kept().missing(path, *mark);
    return length;
}
