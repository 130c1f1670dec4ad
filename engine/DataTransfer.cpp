#include "engine/DataTransfer.h"

#include "engine/UploadFile.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Per wake-up, so one fast transfer cannot starve the other sessions.
constexpr qint64 SliceBytes = 8 * 1024 * 1024;
constexpr qsizetype CopyBuffer = 256 * 1024;

qint64 nowMs()
{
    return QDeadlineTimer::current().deadline();
}

bool wouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}
} // namespace

DataTransfer::DataTransfer(UniqueFd socket) : m_socket(std::move(socket)), m_lastProgress(nowMs())
{
}

DataTransfer::~DataTransfer()
{
    // Dropped before its end (log-off, abort, time-out): reset the connection
    // so the client cannot take the data it already has for the whole file.
    if (!m_done && m_socket.valid()) {
        const linger reset{1, 0};
        ::setsockopt(m_socket.get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
}

void DataTransfer::start()
{
    m_notifier = new QSocketNotifier(m_socket.get(), wantsRead() ? QSocketNotifier::Read : QSocketNotifier::Write,
                                     this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DataTransfer::activated);
}

void DataTransfer::pause(bool paused)
{
    if (m_notifier && !m_done)
        m_notifier->setEnabled(!paused);
}

void DataTransfer::progressed(qint64 bytes)
{
    m_bytes.fetch_add(bytes, std::memory_order_relaxed);
    m_lastProgress.store(nowMs(), std::memory_order_relaxed);
}

qsizetype DataTransfer::sendSome(const char* data, qsizetype size)
{
    for (;;) {
        const ssize_t n = ::send(socket(), data, size_t(size), MSG_NOSIGNAL);
        if (n >= 0) {
            progressed(n);
            return n;
        }
        if (errno == EINTR)
            continue;
        if (wouldBlock(errno))
            return 0;
        fail(Outcome::PeerLost);
        return -1;
    }
}

void DataTransfer::activated()
{
    if (m_done)
        return;
    if (pump())
        return;
    end();
}

void DataTransfer::cancel()
{
    if (m_done)
        return;
    fail(Outcome::Cancelled);
    end();
}

std::unique_ptr<UploadFile> DataTransfer::takeFile()
{
    return nullptr;
}

void DataTransfer::end()
{
    m_done = true;
    if (m_notifier)
        m_notifier->setEnabled(false);
    concluded();
    if (m_outcome == Outcome::Done) {
        // Our side is finished; the client sees the end of the data.
        ::shutdown(m_socket.get(), SHUT_WR);
    } else if (m_outcome == Outcome::Cancelled) {
        // As when dropped: the client must not take what it has for the whole file.
        const linger reset{1, 0};
        ::setsockopt(m_socket.get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    m_socket.reset();
    Q_EMIT finished(m_outcome);
    reported();
}

ListingSender::ListingSender(UniqueFd socket, qsizetype capacity)
    : DataTransfer(std::move(socket)), m_capacity(capacity)
{
}

bool ListingSender::hasRoom()
{
    if (m_waiting.load() < m_capacity)
        return true;
    m_hungry.store(true);
    // Room made meanwhile, before the flag was seen, is still taken.
    return m_waiting.load() < m_capacity && m_hungry.exchange(false);
}

void ListingSender::feed(QByteArray lines)
{
    if (lines.isEmpty())
        return;
    m_waiting.fetch_add(lines.size());
    QMetaObject::invokeMethod(
        this, [this, lines = std::move(lines)]() mutable { take(std::move(lines)); }, Qt::QueuedConnection);
}

void ListingSender::close()
{
    QMetaObject::invokeMethod(this, &ListingSender::closed, Qt::QueuedConnection);
}

void ListingSender::take(QByteArray lines)
{
    if (lines.isEmpty())
        return; // nothing to send: a send of nothing would read as a full socket
    m_queue.append(std::move(lines));
    pause(false);
}

void ListingSender::closed()
{
    m_closed = true;
    pause(false);
}

bool ListingSender::pump()
{
    while (!m_queue.isEmpty()) {
        const QByteArray& piece = m_queue.constFirst();
        const qsizetype n = sendSome(piece.constData() + m_sent, piece.size() - m_sent);
        if (n <= 0)
            return n == 0;
        m_sent += n;
        if (m_sent == piece.size()) {
            m_queue.removeFirst();
            m_sent = 0;
        }
        if (m_waiting.fetch_sub(n) - n < m_capacity / 2 && m_hungry.exchange(false))
            Q_EMIT wantsMore();
    }
    if (m_closed)
        return false;
    pause(true);
    return true;
}

FileSender::FileSender(UniqueFd socket, UniqueFd file, off_t offset, off_t end)
    : DataTransfer(std::move(socket)), m_file(std::move(file)), m_offset(offset), m_end(end)
{
}

// At the end of the file: a file cut short meanwhile (rewritten by an upload,
// truncated) fails the download instead of passing for the whole file.
bool FileSender::ended()
{
    if (m_offset < m_end)
        fail(Outcome::Shortened);
    return false;
}

bool FileSender::pump()
{
    if (!m_useSendfile)
        return copy();
    qint64 slice = 0;
    while (slice < SliceBytes) {
        if (m_offset >= m_end)
            return false;
        const ssize_t n = ::sendfile(socket(), m_file.get(), &m_offset,
                                     size_t(std::min<qint64>(SliceBytes - slice, m_end - m_offset)));
        if (n > 0) {
            slice += n;
            progressed(n);
            continue;
        }
        if (n == 0)
            return ended();
        if (errno == EINTR)
            continue;
        if (wouldBlock(errno))
            return true;
        if ((errno == EINVAL || errno == ENOSYS) && slice == 0 && bytesMoved() == 0) {
            m_useSendfile = false;
            return copy();
        }
        fail(errno == EIO ? Outcome::LocalError : Outcome::PeerLost);
        return false;
    }
    return true;
}

bool FileSender::copy()
{
    if (m_buffer.isEmpty())
        m_buffer.resize(CopyBuffer);
    qint64 slice = 0;
    while (slice < SliceBytes) {
        if (m_pending == 0) {
            if (m_offset >= m_end)
                return false;
            const ssize_t r = ::pread(m_file.get(), m_buffer.data(),
                                      size_t(std::min<qint64>(m_buffer.size(), m_end - m_offset)), m_offset);
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                fail(Outcome::LocalError);
                return false;
            }
            if (r == 0)
                return ended();
            m_offset += r;
            m_pending = r;
            m_pendingAt = 0;
        }
        const qsizetype n = sendSome(m_buffer.constData() + m_pendingAt, m_pending);
        if (n <= 0)
            return n == 0;
        m_pending -= n;
        m_pendingAt += n;
        slice += n;
    }
    return true;
}

FileReceiver::FileReceiver(UniqueFd socket, std::unique_ptr<UploadFile> file)
    : DataTransfer(std::move(socket)), m_file(std::move(file))
{
}

FileReceiver::~FileReceiver() = default;

int FileReceiver::file() const
{
    return m_file->fd();
}

void FileReceiver::concluded()
{
    // In place, whole or broken; failing that fails the upload.
    if (!m_file->finish() && outcome() == Outcome::Done)
        fail(Outcome::LocalError);
    m_retired = m_file->takeRetired();
}

void FileReceiver::reported()
{
    m_retired = RetiredFile(); // the old file goes once the end is on its way
}

std::unique_ptr<UploadFile> FileReceiver::takeFile()
{
    return std::move(m_file);
}

// Read into our buffer and written from it, not spliced: a splice takes the
// socket's data faster than the file takes it, so the kernel grows the receive
// window to megabytes, and an upload's 226 then waits for all of that to reach
// the file after the client's last byte. Read as the file takes it, the window
// stays as small as the disk needs.
bool FileReceiver::pump()
{
    if (m_buffer.isEmpty())
        m_buffer.resize(CopyBuffer);
    qint64 slice = 0;
    while (slice < SliceBytes) {
        const ssize_t n = ::recv(socket(), m_buffer.data(), size_t(m_buffer.size()), 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (wouldBlock(errno))
                return true;
            fail(Outcome::PeerLost);
            return false;
        }
        if (n == 0)
            return false;
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::write(file(), m_buffer.constData() + written, size_t(n - written));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                fail(Outcome::LocalError);
                return false;
            }
            written += w;
        }
        slice += n;
        progressed(n);
    }
    return true;
}
