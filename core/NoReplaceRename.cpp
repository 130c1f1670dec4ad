#include "core/NoReplaceRename.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Errors that say "this file system cannot do it this way", not "this rename
// must fail".
bool unsupported(int err, NoReplaceMethod method)
{
    if (err == ENOSYS || err == EOPNOTSUPP || err == ENOTSUP)
        return true;
    if (method == NoReplaceMethod::Flag)
        return err == EINVAL;
    // link() answers EPERM for folders and where hard links are not offered or
    // not allowed, and EMLINK when the source has too many links.
    return err == EPERM || err == EMLINK;
}

int byFlag(const char* from, const char* to)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int byHardLink(const char* from, const char* to)
{
    if (::link(from, to) != 0)
        return errno;
    if (::unlink(from) != 0) {
        const int err = errno;
        ::unlink(to); // back to one name, the old one
        return err;
    }
    return 0;
}

int byPlaceholder(const char* from, const char* to)
{
    struct stat st;
    if (::lstat(from, &st) != 0)
        return errno;
    const bool folder = S_ISDIR(st.st_mode);
    if (folder) {
        if (::mkdir(to, 0700) != 0)
            return errno;
    } else {
        const int fd = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        ::close(fd);
    }
    // The name is ours now: renaming over our own empty placeholder replaces nothing else.
    if (::rename(from, to) == 0)
        return 0;
    const int err = errno;
    if (folder)
        ::rmdir(to);
    else
        ::unlink(to);
    return err;
}

} // namespace

int NoReplaceRename(const QString& from, const QString& to, NoReplaceMethod first)
{
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    if (first == NoReplaceMethod::Flag) {
        const int err = byFlag(a.constData(), b.constData());
        if (!unsupported(err, NoReplaceMethod::Flag))
            return err;
    }
    if (first != NoReplaceMethod::Placeholder) {
        const int err = byHardLink(a.constData(), b.constData());
        if (err == 0 || !unsupported(err, NoReplaceMethod::HardLink))
            return err;
    }
    return byPlaceholder(a.constData(), b.constData());
}
