#include "core/RemoteFileSystem.h"

#include <sys/vfs.h>

namespace {

bool remote(unsigned long type)
{
    switch (type) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE
    case 0x01021997UL: // 9P
    case 0x00C36400UL: // Ceph
    case 0x5346414FUL: // AFS
    case 0x73757245UL: // Coda
        return true;
    default:
        return false;
    }
}

} // namespace

bool OnRemoteFileSystem(int fd)
{
    struct statfs fs {};
    return ::fstatfs(fd, &fs) != 0 || remote(static_cast<unsigned long>(fs.f_type));
}

bool OnRemoteFileSystem(const QByteArray& path)
{
    struct statfs fs {};
    return ::statfs(path.constData(), &fs) != 0 || remote(static_cast<unsigned long>(fs.f_type));
}
