#include "core/RawWrite.h"

#include "core/RegularFile.h"

#include <cerrno>
#include <unistd.h>

namespace {

// Writes from the descriptor's offset, again after an interruption, counting
// what reached the file; 0, or the error.
int writeCounted(int fd, const QByteArray& bytes, qsizetype& done)
{
    done = 0;
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

} // namespace

FileOpResult ErrnoFailure(int err)
{
    // No errno value names a refused special file; EINVAL is what the kernel
    // answers for an operation on the wrong kind of file.
    return FileOpResult{false, err == NotRegularFile ? EINVAL : err, FileErrorText(err)};
}

int WriteAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    return writeCounted(fd, bytes, done);
}

int AppendAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    const int err = writeCounted(fd, bytes, done);
    if (err != 0 && done > 0) {
        // Each appending write leaves the offset at the end of what it wrote,
        // so the old end is the offset less what got through. Asked only on
        // this path: a good append costs no extra call.
        const off_t end = ::lseek(fd, 0, SEEK_CUR);
        if (end >= off_t(done)) {
            // Should the cut fail too, the write's own error is still the one to tell.
            [[maybe_unused]] const int cut = ::ftruncate(fd, end - off_t(done));
        }
    }
    return err;
}
