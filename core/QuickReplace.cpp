#include "core/QuickReplace.h"

#include "core/FileMarks.h"
#include "core/FileNames.h"
#include "core/RawWrite.h"
#include "core/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes the bytes over the start of the file and cuts what is left behind
// them. A running total only grows, so the cut is seldom needed; a truncation
// can wait for the disk, an overwrite in the page cache does not.
FileOpResult overwrite(const QByteArray& path, const QByteArray& bytes)
{
    int err = 0;
    const int fd = OpenRegularFile(path, O_WRONLY | O_CREAT, 0666, err);
    if (fd < 0)
        return ErrnoFailure(err);
    if (const int failed = WriteAll(fd, bytes)) { // a fresh descriptor writes from the start
        ::close(fd);
        return ErrnoFailure(failed);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || (st.st_size > bytes.size() && ::ftruncate(fd, off_t(bytes.size())) != 0)) {
        err = errno;
        ::close(fd);
        return ErrnoFailure(err);
    }
    if (::close(fd) != 0)
        return ErrnoFailure(errno);
    return {};
}

QByteArray partnerOf(const QFileInfo& file)
{
    return QFile::encodeName(file.absolutePath() + QStringLiteral("/.") + file.fileName() + QStringLiteral(".swap"));
}

} // namespace

bool RemoveWithPartner(const QString& path)
{
    const QString target = ResolvePath(path);
    ::unlink(partnerOf(QFileInfo(target)).constData());
    NoteOwnFileChange();
    return RemoveFile(target);
}

namespace {

FileOpResult replace(const QString& path, const QByteArray& bytes)
{
    const QString target = ResolvePath(path);
    const QFileInfo info(target);
    if (info.isDir())
        return ErrnoFailure(EISDIR);
    // A FIFO or a device in the file's place is left alone (a link is replaced, not followed).
    if (info.exists() && !info.isFile() && !info.isSymLink())
        return ErrnoFailure(NotRegularFile);
    const QByteArray final = QFile::encodeName(target);
    // The hidden partner ".<name>.swap" takes the new content and then trades
    // places with the file, so it holds the previous content until the next
    // replacement writes over it: after the first two replacements no file is
    // created or deleted any more.
    const QByteArray partner = partnerOf(info);

    if (FileOpResult r = overwrite(partner, bytes); !r)
        return r;
    if (info.isFile() && !info.isSymLink()) {
        if (::renameat2(AT_FDCWD, partner.constData(), AT_FDCWD, final.constData(), RENAME_EXCHANGE) == 0)
            return {};
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return ErrnoFailure(errno);
    }
    // A new file, or a file system that cannot trade places: rename over it.
    if (::rename(partner.constData(), final.constData()) != 0)
        return ErrnoFailure(errno);
    return {};
}

} // namespace

FileOpResult ReplaceWithoutFlush(const QString& path, const QByteArray& bytes)
{
    const FileOpResult r = replace(path, bytes);
    NoteOwnFileChange();
    return r;
}

FileOpResult ReplaceLinesWithoutFlush(const QString& path, const QStringList& lines)
{
    return ReplaceWithoutFlush(path, AnsiLines(lines));
}
