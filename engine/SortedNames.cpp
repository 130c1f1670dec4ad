#include "engine/SortedNames.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
// While merging, every run reads through a buffer of its own (which grows only
// for a longer name): together about this much.
constexpr qsizetype MergeBuffers = 128 * 1024;
constexpr qsizetype RunBufferLeast = 512;
constexpr qsizetype RunBufferMost = 4096;
constexpr qsizetype WriteBuffer = 16 * 1024;

bool less(QByteArrayView a, QByteArrayView b)
{
    const int c = std::memcmp(a.data(), b.data(), size_t(std::min(a.size(), b.size())));
    return c != 0 ? c < 0 : a.size() < b.size();
}

// Nameless and gone with its descriptor; else named, and unlinked at once.
UniqueFd temporaryFile()
{
    const QByteArray folder = QFile::encodeName(QDir::tempPath());
    UniqueFd fd(::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (fd.valid())
        return fd;
    QByteArray name = folder + "/quayport-names-XXXXXX";
    fd.reset(::mkostemp(name.data(), O_CLOEXEC));
    if (fd.valid())
        ::unlink(name.constData());
    return fd;
}

bool writeAll(int fd, const char* data, qsizetype size, qint64 at)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(size), off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
        at += n;
    }
    return true;
}
} // namespace

SortedNames::SortedNames(qsizetype chunkBytes) : m_chunkBytes(chunkBytes)
{
}

SortedNames::~SortedNames() = default;

// What the chunk takes, its spare room included.
qsizetype SortedNames::held() const
{
    return m_chunk.capacity() + qsizetype(m_starts.capacity() * sizeof(quint32));
}

void SortedNames::add(QByteArrayView name)
{
    m_starts.push_back(quint32(m_chunk.size()));
    m_chunk.append(name.data(), name.size());
    m_chunk.append('\0');
    ++m_count;
    if (!m_spillFailed && held() >= m_chunkBytes)
        spill();
}

// Writes the chunk as one sorted run and empties it; false (and the names
// stay in memory from then on) when the disk refuses.
bool SortedNames::spill()
{
    if (!m_spill.valid())
        m_spill = temporaryFile();
    const char* names = m_chunk.constData();
    std::sort(m_starts.begin(), m_starts.end(),
              [names](quint32 a, quint32 b) { return std::strcmp(names + a, names + b) < 0; });
    QByteArray out;
    out.reserve(WriteBuffer + 256);
    qint64 at = m_spilled;
    bool written = m_spill.valid();
    for (std::size_t i = 0; written && i < m_starts.size(); ++i) {
        out.append(names + m_starts[i], qsizetype(std::strlen(names + m_starts[i])) + 1);
        if (out.size() >= WriteBuffer || i + 1 == m_starts.size()) {
            written = writeAll(m_spill.get(), out.constData(), out.size(), at);
            at += out.size();
            out.clear();
        }
    }
    if (!written) {
        m_spillFailed = true; // keep the rest in memory; runs written so far stay valid
        return false;
    }
    m_runs.push_back(Run{m_spilled, at, {}, 0, 0, 0});
    m_spilled = at;
    m_chunk = QByteArray();
    std::vector<quint32>().swap(m_starts);
    return true;
}

void SortedNames::finish()
{
    // Once on the disk, the last names join them there: nothing stays in memory but the buffers.
    if (!m_runs.empty() && !m_spillFailed && !m_starts.empty())
        spill();
    if (!m_runs.empty())
        m_runBuffer = std::clamp(MergeBuffers / qsizetype(m_runs.size()), RunBufferLeast, RunBufferMost);
    const char* names = m_chunk.constData();
    std::sort(m_starts.begin(), m_starts.end(),
              [names](quint32 a, quint32 b) { return std::strcmp(names + a, names + b) < 0; });
    const int sources = int(m_runs.size()) + 1; // the last one is the memory's
    for (int s = 0; s < sources; ++s)
        if (load(s))
            m_heap.push_back(s);
    auto later = [this](int a, int b) { return less(head(b), head(a)); };
    std::make_heap(m_heap.begin(), m_heap.end(), later);
}

QByteArrayView SortedNames::head(int source) const
{
    if (source == int(m_runs.size()))
        return QByteArrayView(m_chunk.constData() + m_starts[m_memoryAt]);
    const Run& r = m_runs[std::size_t(source)];
    return QByteArrayView(r.buffer.constData() + r.at, r.size);
}

// Moves a source to its next name (the first one on the first call); false when it has none.
bool SortedNames::load(int source)
{
    if (source == int(m_runs.size()))
        return m_memoryAt < m_starts.size();
    Run& r = m_runs[std::size_t(source)];
    if (r.buffer.isEmpty())
        r.buffer.resize(m_runBuffer);
    else
        r.at += r.size + 1;
    for (;;) {
        const char* from = r.buffer.constData() + r.at;
        const void* nul = std::memchr(from, 0, size_t(r.filled - r.at));
        if (nul) {
            r.size = static_cast<const char*>(nul) - from;
            return true;
        }
        if (r.next >= r.end)
            return false;
        // Keep the partial name, then read on behind it.
        std::memmove(r.buffer.data(), from, size_t(r.filled - r.at));
        r.filled -= r.at;
        r.at = 0;
        if (r.filled == r.buffer.size())
            r.buffer.resize(r.buffer.size() * 2);
        const ssize_t n = ::pread(m_spill.get(), r.buffer.data() + r.filled,
                                  size_t(std::min<qint64>(r.buffer.size() - r.filled, r.end - r.next)), off_t(r.next));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // unreadable: what it held is lost, the rest goes on
        r.filled += n;
        r.next += n;
    }
}

bool SortedNames::next(QByteArray& name)
{
    if (m_heap.empty())
        return false;
    auto later = [this](int a, int b) { return less(head(b), head(a)); };
    std::pop_heap(m_heap.begin(), m_heap.end(), later);
    const int source = m_heap.back();
    name = head(source).toByteArray();
    const bool more = source == int(m_runs.size()) ? ++m_memoryAt < m_starts.size() : load(source);
    if (more)
        std::push_heap(m_heap.begin(), m_heap.end(), later);
    else
        m_heap.pop_back();
    return true;
}
