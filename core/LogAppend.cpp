#include "core/LogAppend.h"

#include "core/FileNames.h"
#include "core/RawWrite.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int AppendFlags = O_WRONLY | O_APPEND | O_CLOEXEC;

} // namespace

FileOpResult AppendMeasured(const QString& path, const QByteArray& bytes, qint64& sizeAfter)
{
    sizeAfter = -1;
    // A log that exists as spelt needs no letter-case look-up; any other
    // takes the resolver's spelling and may be created.
    int fd = ::open(QFile::encodeName(path).constData(), AppendFlags);
    QByteArray created; // a file made here goes again when nothing could be written to it
    if (fd < 0) {
        const QByteArray resolved = QFile::encodeName(ResolvePath(path));
        fd = ::open(resolved.constData(), AppendFlags);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(resolved.constData(), AppendFlags | O_CREAT | O_EXCL, 0666);
            if (fd >= 0)
                created = resolved;
            else if (errno == EEXIST) // made meanwhile by someone else
                fd = ::open(resolved.constData(), AppendFlags);
        }
    }
    if (fd < 0)
        return ErrnoFailure(errno);
    if (const int err = AppendAll(fd, bytes)) {
        ::close(fd);
        if (!created.isEmpty())
            ::unlink(created.constData());
        return ErrnoFailure(err);
    }
    const off_t end = ::lseek(fd, 0, SEEK_CUR); // an appending write leaves the offset at the end
    if (::close(fd) != 0)
        return ErrnoFailure(errno);
    sizeAfter = end;
    return {};
}
