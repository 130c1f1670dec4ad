#include "core/RawWrite.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

FileOpResult ErrnoFailure(int err)
{
    return FileOpResult{false, err, QString::fromLocal8Bit(std::strerror(err))};
}

int WriteAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}
