#include "core/QuickReplace.h"

#include "core/FileNames.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
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

// One hidden file per folder and process that takes each new content before
// it trades places with the file it replaces. The old content then sits in
// it until the next replacement overwrites it: the inodes are reused, so no
// file is created or deleted per replacement (on ext4 creating one next to
// many just deleted costs more than everything else here). The files go when
// the process ends.
class SwapFiles {
public:
    ~SwapFiles()
    {
        for (const QByteArray& path : std::as_const(m_byFolder))
            ::unlink(path.constData());
    }
    QByteArray of(const QString& folder)
    {
        auto it = m_byFolder.find(folder);
        if (it == m_byFolder.end())
            it = m_byFolder.insert(folder, QFile::encodeName(folder + QStringLiteral("/.quayport-")
                                                             + QString::number(::getpid()) + QStringLiteral(".swap")));
        return *it;
    }

private:
    QHash<QString, QByteArray> m_byFolder;
};

SwapFiles& swapFiles()
{
    static SwapFiles files;
    return files;
}

FileOpResult writeAll(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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
    if (::close(fd) != 0)
        return errnoFailure(errno);
    return {};
}

} // namespace

FileOpResult ReplaceWithoutFlush(const QString& path, const QByteArray& bytes)
{
    const QString target = ResolvePath(path);
    const QFileInfo info(target);
    if (info.isDir())
        return errnoFailure(EISDIR);
    const QByteArray final = QFile::encodeName(target);
    const QByteArray swap = swapFiles().of(info.absolutePath());

    if (FileOpResult r = writeAll(swap, bytes); !r)
        return r;
    if (info.isFile() && !info.isSymLink()) {
        if (::renameat2(AT_FDCWD, swap.constData(), AT_FDCWD, final.constData(), RENAME_EXCHANGE) == 0)
            return {};
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return errnoFailure(errno);
    }
    // A new file, or a file system that cannot trade places: rename over it.
    if (::rename(swap.constData(), final.constData()) != 0)
        return errnoFailure(errno);
    return {};
}

FileOpResult ReplaceLinesWithoutFlush(const QString& path, const QStringList& lines)
{
    return ReplaceWithoutFlush(path, AnsiLines(lines));
}
