#include "core/FileContentCache.h"

#include "core/FileIdentity.h"
#include "core/RegularFile.h"

#include <QFile>
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
    FileIdentity id;
    if (!IdentityOf(path, id) || !S_ISREG(id.mode) || id.size > MaxFileBytes)
        return std::nullopt;
    if (std::optional<QByteArray> known = Contents().Find(path, id))
        return known;
    const timespec readAt = RememberClockNow();
    std::optional<QByteArray> bytes = ReadIdentified(path, id);
    Contents().Keep(path, id, bytes.value_or(QByteArray()), bytes && SettledBefore(id, readAt));
    return bytes;
}
