#include "core/QuickReplace.h"

#include "core/FileNames.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

FileOpResult errnoFailure(int err)
{
    return FileOpResult{false, err, QString::fromLocal8Bit(std::strerror(err))};
}

} // namespace

FileOpResult ReplaceWithoutFlush(const QString& path, const QByteArray& bytes)
{
    const QString target = ResolvePath(path);
    const QFileInfo info(target);
    if (info.isDir())
        return FileOpResult{false, EISDIR, QString::fromLocal8Bit(std::strerror(EISDIR))};
    const QByteArray final = QFile::encodeName(target);
    const QByteArray stem = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName());

    // A name of our own beside the target; the mode follows the umask as a new file's does.
    static unsigned serial = 0;
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = stem + '.' + QByteArray::number(qint64(::getpid())) + '-' + QByteArray::number(++serial);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return errnoFailure(errno);
    }
    if (fd < 0)
        return errnoFailure(EEXIST);

    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(temporary.constData());
            return errnoFailure(err);
        }
        done += n;
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temporary.constData());
        return errnoFailure(err);
    }
    if (::rename(temporary.constData(), final.constData()) != 0) {
        const int err = errno;
        ::unlink(temporary.constData());
        return errnoFailure(err);
    }
    return {};
}

FileOpResult ReplaceLinesWithoutFlush(const QString& path, const QStringList& lines)
{
    return ReplaceWithoutFlush(path, AnsiLines(lines));
}
