#include "core/LogAppend.h"

#include "core/FileNames.h"
#include "core/RawWrite.h"
#include "core/RegularFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int AppendFlags = O_WRONLY | O_APPEND;

int openLog(const QByteArray& path, int flags, int& err)
{
    return OpenRegularFile(path, flags, 0666, err);
}

} // namespace

FileOpResult AppendMeasured(const QString& path, const QByteArray& bytes, qint64& sizeAfter)
{
    sizeAfter = -1;
    int err = 0;
    // A log that exists as spelt needs no letter-case look-up; any other
    // takes the resolver's spelling and may be created.
    int fd = openLog(QFile::encodeName(path), AppendFlags, err);
    QByteArray created; // a file made here goes again when nothing could be written to it
    if (fd < 0) {
        const QByteArray resolved = QFile::encodeName(ResolvePath(path));
        fd = openLog(resolved, AppendFlags, err);
        if (fd < 0 && err == ENOENT) {
            fd = openLog(resolved, AppendFlags | O_CREAT | O_EXCL, err);
            if (fd >= 0)
                created = resolved;
            else if (err == EEXIST) // made meanwhile by someone else
                fd = openLog(resolved, AppendFlags, err);
        }
    }
    if (fd < 0)
        return ErrnoFailure(err);
    if (const int failed = AppendAll(fd, bytes)) {
        ::close(fd);
        if (!created.isEmpty())
            ::unlink(created.constData());
        return ErrnoFailure(failed);
    }
    const off_t end = ::lseek(fd, 0, SEEK_CUR); // an appending write leaves the offset at the end
    if (::close(fd) != 0)
        return ErrnoFailure(errno);
    sizeAfter = end;
    return {};
}
