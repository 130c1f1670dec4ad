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

// A name relative to a folder descriptor.
struct At {
    int folder;
    const char* name;
};

int byFlag(At from, At to)
{
    return ::renameat2(from.folder, from.name, to.folder, to.name, RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int byHardLink(At from, At to)
{
    if (::linkat(from.folder, from.name, to.folder, to.name, 0) != 0)
        return errno;
    if (::unlinkat(from.folder, from.name, 0) != 0) {
        const int err = errno;
        ::unlinkat(to.folder, to.name, 0); // back to one name, the old one
        return err;
    }
    return 0;
}

int byPlaceholder(At from, At to)
{
    struct stat st;
    if (::fstatat(from.folder, from.name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    const bool folder = S_ISDIR(st.st_mode);
    if (folder) {
        if (::mkdirat(to.folder, to.name, 0700) != 0)
            return errno;
    } else {
        const int fd = ::openat(to.folder, to.name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        ::close(fd);
    }
    // The name is ours now: renaming over our own empty placeholder replaces nothing else.
    if (::renameat(from.folder, from.name, to.folder, to.name) == 0)
        return 0;
    const int err = errno;
    ::unlinkat(to.folder, to.name, folder ? AT_REMOVEDIR : 0);
    return err;
}

} // namespace

int NoReplaceRename(const QString& from, const QString& to, NoReplaceMethod first)
{
    return NoReplaceRenameAt(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                             QFile::encodeName(to).constData(), first);
}

int NoReplaceRenameAt(int fromFolder, const char* fromName, int toFolder, const char* toName, NoReplaceMethod first)
{
    const At from{fromFolder, fromName};
    const At to{toFolder, toName};
    if (first == NoReplaceMethod::Flag) {
        const int err = byFlag(from, to);
        if (!unsupported(err, NoReplaceMethod::Flag))
            return err;
    }
    if (first != NoReplaceMethod::Placeholder) {
        const int err = byHardLink(from, to);
        if (err == 0 || !unsupported(err, NoReplaceMethod::HardLink))
            return err;
    }
    return byPlaceholder(from, to);
}
