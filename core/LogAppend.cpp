#include "core/LogAppend.h"

#include "core/FileNames.h"
#include "core/RawWrite.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

FileOpResult AppendMeasured(const QString& path, const QByteArray& bytes, qint64& sizeAfter)
{
    sizeAfter = -1;
    // A log that exists as spelt needs no letter-case look-up; any other
    // takes the resolver's spelling and may be created.
    int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        fd = ::open(QFile::encodeName(ResolvePath(path)).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return ErrnoFailure(errno);
    if (const int err = WriteAll(fd, bytes)) {
        ::close(fd);
        return ErrnoFailure(err);
    }
    const off_t end = ::lseek(fd, 0, SEEK_CUR); // an appending write leaves the offset at the end
    if (::close(fd) != 0)
        return ErrnoFailure(errno);
    sizeAfter = end;
    return {};
}
