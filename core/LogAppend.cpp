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

    // The kept descriptor of the log, or -1; it stays kept until given back.
    int take(const QString& path, std::optional<quint64>& mark)
    {
        mark = FileMark(path);
        const QMutexLocker lock(&m_mutex);
        const auto it = m_kept.find(path);
        if (it == m_kept.end())
            return -1;
        const Kept kept = *it;
        m_kept.erase(it);
        if (mark && *mark == kept.mark)
            return kept.fd;
        ::close(kept.fd);
        return -1;
    }

    // Keeps the descriptor when the mark allows; closes it otherwise. The
    // close's own failure, if any, as an errno value.
    int giveBack(const QString& path, int fd, const std::optional<quint64>& mark)
    {
        if (!mark)
            return ::close(fd) == 0 ? 0 : errno;
        const QMutexLocker lock(&m_mutex);
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
        m_kept.insert(path, Kept{fd, *mark, ++m_uses});
        m_missing.remove(path);
        return 0;
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
    // The mark is taken before the open, so a change made after it moves it.
    std::optional<quint64> mark;
    int fd = Kept().take(path, mark);
    QByteArray created; // a file made here goes again when nothing could be written to it
    if (fd < 0) {
        int err = 0;
        fd = openForAppend(path, created, err);
        if (fd < 0)
            return ErrnoFailure(err);
    }
    if (const int failed = AppendAll(fd, bytes)) {
        ::close(fd);
        if (!created.isEmpty()) {
            ::unlink(created.constData());
            NoteOwnFileChange();
        }
        return ErrnoFailure(failed);
    }
    const off_t end = ::lseek(fd, 0, SEEK_CUR); // an appending write leaves the offset at the end
    if (const int err = Kept().giveBack(path, fd, mark))
        return ErrnoFailure(err);
    sizeAfter = end;
    return {};
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
