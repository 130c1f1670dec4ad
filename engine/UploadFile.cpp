#include "engine/UploadFile.h"

#include "engine/OpenUploads.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
const QByteArray Marker = QByteArrayLiteral(".quayport-upload-");
constexpr int RandomChars = 6;
constexpr int NameRoom = 200; // of the 255 bytes a name may have
constexpr int Attempts = 100;

QByteArray temporaryName(const QByteArray& name)
{
    static const char chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray t = '.' + name.left(NameRoom) + Marker;
    for (int i = 0; i < RandomChars; ++i)
        t += chars[QRandomGenerator::global()->bounded(int(sizeof chars - 1))];
    return t;
}

// An unnamed file is linked in through its /proc name; without /proc it
// could not be linked at all.
bool canLinkUnnamed()
{
    static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
    return proc;
}

QByteArray procName(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}
} // namespace

RetiredFile::RetiredFile(int folder, QByteArray name) : m_folder(::fcntl(folder, F_DUPFD_CLOEXEC, 0)), m_name(std::move(name))
{
}

RetiredFile& RetiredFile::operator=(RetiredFile&& other) noexcept
{
    if (this != &other) {
        remove();
        m_folder = std::move(other.m_folder);
        m_name = std::move(other.m_name);
    }
    return *this;
}

RetiredFile::~RetiredFile()
{
    remove();
}

void RetiredFile::remove()
{
    if (m_folder.valid())
        ::unlinkat(m_folder.get(), m_name.constData(), 0);
    m_folder.reset();
}

bool UploadFile::isTemporaryName(const QByteArray& name)
{
    const qsizetype at = name.size() - RandomChars - Marker.size();
    return name.startsWith('.') && at > 0 && name.mid(at, Marker.size()) == Marker;
}

UploadFile::UploadFile(Beneath::Place place, std::unique_ptr<UploadClaim> claim)
    : m_place(std::move(place)), m_claim(std::move(claim))
{
}

UploadFile::~UploadFile()
{
    finish();
}

std::unique_ptr<UploadFile> UploadFile::open(Beneath::Place place, Mode mode, qint64 offset, OpenUploads& uploads,
                                             Refusal& refusal)
{
    refusal = Refusal::CannotCreate;
    struct stat folder;
    if (::fstat(place.folder.get(), &folder) != 0)
        return nullptr;
    std::unique_ptr<UploadClaim> claim = uploads.claim(folder, place.name);
    if (!claim) {
        refusal = Refusal::Busy;
        return nullptr;
    }
    struct stat old;
    const bool present = Beneath::exists(place, old);
    if (present && !S_ISREG(old.st_mode))
        return nullptr;
    std::unique_ptr<UploadFile> file(new UploadFile(std::move(place), std::move(claim)));
    const bool opened = mode == Mode::Append || mode == Mode::Resume
        ? file->openInPlace(mode, offset, refusal)
        : file->openBeside(mode == Mode::Replace, present ? &old : nullptr);
    if (!opened) {
        file->m_finished = true; // nothing to put in place
        return nullptr;
    }
    refusal = Refusal::None;
    return file;
}

bool UploadFile::openInPlace(Mode mode, qint64 offset, Refusal& refusal)
{
    // Non-blocking: a FIFO put there meanwhile must not hold the thread.
    const int flags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (mode == Mode::Append ? O_APPEND | O_CREAT : 0);
    m_fd.reset(::openat(m_place.folder.get(), m_place.name.constData(), flags, 0666));
    struct stat st;
    if (!m_fd.valid() || ::fstat(m_fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (!m_claim->addFile(st)) {
        refusal = Refusal::Busy;
        return false;
    }
    if (::fcntl(m_fd.get(), F_SETFL, flags & O_APPEND) != 0) // blocking again, for the data
        return false;
    return mode != Mode::Resume
        || (::ftruncate(m_fd.get(), offset) == 0 && ::lseek(m_fd.get(), offset, SEEK_SET) == offset);
}

bool UploadFile::openBeside(bool unnamed, const struct stat* old)
{
    const int folder = m_place.folder.get();
    if (unnamed && canLinkUnnamed()) {
        m_fd.reset(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        m_unnamed = m_fd.valid();
        // Only "not offered here" falls back to a named temporary.
        if (!m_unnamed && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
    }
    for (int i = 0; !m_fd.valid() && i < Attempts; ++i) {
        m_temporary = temporaryName(m_place.name);
        m_fd.reset(::openat(folder, m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!m_fd.valid() && errno != EEXIST)
            break;
    }
    struct stat st;
    if (!m_fd.valid() || ::fstat(m_fd.get(), &st) != 0) {
        m_temporary.clear();
        return false;
    }
    // The new file takes the place of the old one as it was: its access and,
    // where the program may give it, its owner.
    if (old) {
        ::fchmod(m_fd.get(), old->st_mode & 0777);
        if ((old->st_uid != st.st_uid || old->st_gid != st.st_gid)
            && ::fchown(m_fd.get(), old->st_uid, old->st_gid) != 0) {
            // Not allowed: the new file stays the program's.
        }
    }
    return true;
}

bool UploadFile::linkUnnamed()
{
    const int folder = m_place.folder.get();
    const QByteArray proc = procName(m_fd.get());
    if (::linkat(AT_FDCWD, proc.constData(), folder, m_place.name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno != EEXIST)
        return false;
    // The name is taken: link under a hidden name, then put that in its place.
    for (int i = 0; i < Attempts; ++i) {
        const QByteArray temporary = temporaryName(m_place.name);
        if (::linkat(AT_FDCWD, proc.constData(), folder, temporary.constData(), AT_SYMLINK_FOLLOW) == 0)
            return putInPlace(temporary);
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// In one step for a reader. Exchanging the names (the old file then lies at
// the hidden one, to be removed later) spares the flush of the whole new file
// that some file systems (ext4) start when a rename replaces a file; where the
// name is free or exchanging is not offered, a plain rename.
bool UploadFile::putInPlace(const QByteArray& temporary)
{
    const int folder = m_place.folder.get();
    const char* name = m_place.name.constData();
    struct stat st;
    if (::renameat2(folder, temporary.constData(), folder, name, RENAME_EXCHANGE) == 0) {
        if (::fstatat(folder, temporary.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode)) {
            m_retired = RetiredFile(folder, temporary);
            return true;
        }
        // A folder had taken the name meanwhile: it stays, the upload fails.
        ::renameat2(folder, temporary.constData(), folder, name, RENAME_EXCHANGE);
    } else if (::renameat(folder, temporary.constData(), folder, name) == 0) {
        return true;
    }
    ::unlinkat(folder, temporary.constData(), 0);
    return false;
}

bool UploadFile::finish()
{
    if (m_finished)
        return m_ok;
    m_finished = true;
    if (m_unnamed)
        m_ok = linkUnnamed();
    else if (!m_temporary.isEmpty())
        m_ok = putInPlace(m_temporary);
    if (::fstat(m_fd.get(), &m_written) != 0)
        m_written = {};
    // No flush: what the kernel has is what a reader sees; a failing close still counts.
    if (::close(m_fd.release()) != 0)
        m_ok = false;
    return m_ok;
}

bool UploadFile::removeIfEmpty()
{
    struct stat st;
    if (!m_finished || !m_ok || !Beneath::exists(m_place, st) || st.st_dev != m_written.st_dev
        || st.st_ino != m_written.st_ino || st.st_ctim.tv_sec != m_written.st_ctim.tv_sec
        || st.st_ctim.tv_nsec != m_written.st_ctim.tv_nsec || st.st_size != 0)
        return false;
    return ::unlinkat(m_place.folder.get(), m_place.name.constData(), 0) == 0;
}
