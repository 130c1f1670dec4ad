#include "core/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString NotRegularFileText()
{
    return QStringLiteral("Not a regular file");
}

QString FileErrorText(int err)
{
    if (err == NotRegularFile)
        return NotRegularFileText();
    return QString::fromLocal8Bit(std::strerror(err));
}

int OpenRegularFile(const QByteArray& path, int flags, mode_t mode, int& err)
{
    err = 0;
    int fd = -1;
    do
        fd = ::open(path.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // A FIFO opened for writing without a reader answers ENXIO at once.
        err = errno == ENXIO ? NotRegularFile : errno;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (!S_ISREG(st.st_mode))
        err = S_ISDIR(st.st_mode) ? EISDIR : NotRegularFile;
    if (err != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int FileDescriptor::reset(int fd)
{
    int err = 0;
    if (m_fd >= 0 && ::close(m_fd) != 0)
        err = errno;
    m_fd = fd;
    return err;
}
