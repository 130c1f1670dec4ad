#include "core/LogAppend.h"

#include "core/FileNames.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

FileOpResult errnoFailure(int err)
{
    return FileOpResult{false, err, QString::fromLocal8Bit(std::strerror(err))};
}

} // namespace

FileOpResult AppendMeasured(const QString& path, const QByteArray& bytes, qint64& sizeAfter)
{
    sizeAfter = -1;
    // A log that exists as spelt needs no letter-case look-up; any other
    // takes the resolver's spelling and may be created.
    int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        fd = ::open(QFile::encodeName(ResolvePath(path)).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return errnoFailure(errno);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            ::close(fd);
            return errnoFailure(err);
        }
        done += n;
    }
    const off_t end = ::lseek(fd, 0, SEEK_CUR); // an appending write leaves the offset at the end
    if (::close(fd) != 0)
        return errnoFailure(errno);
    sizeAfter = end;
    return {};
}
