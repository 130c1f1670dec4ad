#include "core/FileContentCache.h"

#include "core/FileIdentity.h"
#include "core/FileMarks.h"
#include "core/RegularFile.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr off_t MaxFileBytes = 64 * 1024;

RememberedStates<QByteArray>& Contents()
{
    static RememberedStates<QByteArray> contents(512);
    return contents;
}

// Contents kept with the file's mark (FileMarks.h) when it was read: good
// while no change notice names the file, however fresh it was, and with no
// look at the disk at all.
class MarkedContents {
public:
    MarkedContents()
    {
        OnRememberClockChange([this] { forget(); });
    }

    std::optional<QByteArray> find(const QString& path, quint64 mark) const
    {
        const QMutexLocker lock(&m_mutex);
        const auto it = m_items.constFind(path);
        if (it != m_items.cend() && it->mark == mark)
            return it->bytes;
        return std::nullopt;
    }

    void keep(const QString& path, quint64 mark, const QByteArray& bytes)
    {
        const QMutexLocker lock(&m_mutex);
        if (m_items.size() >= 512)
            m_items.clear();
        m_items.insert(path, Item{mark, bytes});
    }

    void forget()
    {
        const QMutexLocker lock(&m_mutex);
        m_items.clear();
    }

private:
    struct Item {
        quint64 mark;
        QByteArray bytes;
    };
    mutable QMutex m_mutex;
    QHash<QString, Item> m_items;
};

MarkedContents& Marked()
{
    static MarkedContents marked;
    return marked;
}

// The file's bytes when it still is the file identified, in full.
std::optional<QByteArray> ReadIdentified(const QString& path, const FileIdentity& id)
{
    int err = 0;
    const int fd = OpenRegularFile(QFile::encodeName(path), O_RDONLY, 0, err);
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes(qsizetype(id.size) + 1, Qt::Uninitialized);
    qsizetype done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        done += n;
    }
    struct stat st {};
    ok = ok && done == qsizetype(id.size) && ::fstat(fd, &st) == 0 && IdentityOf(st) == id;
    ::close(fd);
    if (!ok)
        return std::nullopt;
    bytes.truncate(done);
    return bytes;
}

} // namespace

std::optional<QByteArray> SmallFileContent(const QString& path)
{
    // Taken before the file is looked at, so any change after it moves it.
    const std::optional<quint64> mark = FileMark(path, MarkOf::Content);
    if (mark) {
        if (std::optional<QByteArray> known = Marked().find(path, *mark))
            return known;
    }
    FileIdentity id;
    if (!IdentityOf(path, id) || !S_ISREG(id.mode) || id.size > MaxFileBytes)
        return std::nullopt;
    std::optional<QByteArray> bytes = Contents().Find(path, id);
    if (!bytes) {
        const timespec readAt = RememberClockNow();
        bytes = ReadIdentified(path, id);
        Contents().Keep(path, id, bytes.value_or(QByteArray()), bytes && SettledBefore(id, readAt));
    }
    if (bytes && mark)
        Marked().keep(path, *mark, *bytes);
    return bytes;
}
