#include "core/FileContentCache.h"

#include "core/FileIdentity.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr off_t MaxFileBytes = 64 * 1024;
constexpr qsizetype MaxFiles = 512;

struct Content {
    FileIdentity id;
    QByteArray bytes;
};

struct Cache {
    Cache()
    {
        OnRememberClockChange([this] {
            const QMutexLocker lock(&mutex);
            files.clear();
        });
    }
    QMutex mutex;
    QHash<QString, Content> files;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

// The file's bytes when it still is the file identified, in full.
std::optional<QByteArray> ReadIdentified(const QString& path, const FileIdentity& id)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
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
    FileIdentity id;
    if (!IdentityOf(path, id) || !S_ISREG(id.mode) || id.size > MaxFileBytes)
        return std::nullopt;
    Cache& cache = TheCache();
    {
        const QMutexLocker lock(&cache.mutex);
        const auto it = cache.files.constFind(path);
        if (it != cache.files.cend() && it->id == id)
            return it->bytes;
    }
    const timespec readAt = RememberClockNow();
    std::optional<QByteArray> bytes = ReadIdentified(path, id);
    const QMutexLocker lock(&cache.mutex);
    if (bytes && SettledBefore(id, readAt)) {
        if (cache.files.size() >= MaxFiles)
            cache.files.clear();
        cache.files.insert(path, Content{id, *bytes});
    } else {
        cache.files.remove(path);
    }
    return bytes;
}
