#include "core/AnonymousAddresses.h"

#include "core/FileMarks.h"
#include "core/FileNames.h"
#include "core/LogAppend.h"
#include "core/TextFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <fcntl.h>
#include <unistd.h>

namespace {

// True when the file's last line has no line break: an append then runs on
// within that line instead of adding one.
bool EndsWithinALine(const QString& file, off_t size)
{
    if (size == 0)
        return false;
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true;
    char last = 0;
    const bool open = ::pread(fd, &last, 1, size - 1) != 1 || last != '\n';
    ::close(fd);
    return open;
}

} // namespace

RecordedAddresses::RecordedAddresses()
    : m_seed(size_t(QRandomGenerator::system()->generate64()))
{
    OnRememberClockChange([this] { Forget(); });
}

size_t RecordedAddresses::hashOf(const QString& key) const
{
    return qHash(QStringView(key), m_seed);
}

std::optional<bool> RecordedAddresses::Contains(const QString& path, const QString& key, QString& errorText)
{
    // Taken before the file is looked at, so a change after it moves it.
    const std::optional<quint64> mark = FileMark(path, MarkOf::Content);
    if (m_known && mark && m_mark == mark && path == m_path)
        return m_keys.contains(hashOf(key));
    m_mark.reset();
    m_path = path;
    const QString file = ResolvePath(path);
    FileIdentity before;
    const bool seen = IdentityOf(file, before);
    if (m_known && seen && file == m_file && before == m_state) {
        m_mark = mark;
        return m_keys.contains(hashOf(key));
    }

    Forget();
    LineReader reader(file, LineLimit::LogLine);
    if (!reader.isOpen()) {
        errorText = reader.errorText();
        return std::nullopt;
    }
    ++m_loads;
    while (const std::optional<QString> line = reader.readLine())
        m_keys.insert(hashOf(line->toUpper().trimmed()));
    // A damaged log is unreadable as a whole: no address of it is known.
    if (reader.damaged()) {
        errorText = reader.errorText();
        Forget();
        return std::nullopt;
    }
    // Kept only when read to its end and nothing changed it meanwhile.
    FileIdentity after;
    m_known = seen && S_ISREG(before.mode) && reader.atEnd() && IdentityOf(file, after) && after == before;
    m_endsWithinALine = m_known && EndsWithinALine(file, before.size);
    m_file = file;
    m_state = before;
    if (m_known)
        m_mark = mark;
    const bool found = m_keys.contains(hashOf(key));
    if (!m_known)
        Forget();
    return found;
}

void RecordedAddresses::Appended(const QString& path, const QString& key, bool existed, qint64 appended,
                                 qint64 sizeAfter)
{
    if (existed && m_known && m_mark && path == m_path && !m_endsWithinALine && sizeAfter >= 0
        && m_state.size + appended == sizeAfter) {
        // The line went in right behind what the keys were taken from. The
        // new mark takes in the append's own notice; the log's length, asked
        // after it, must be exactly that, or someone else wrote as well.
        NoteOwnFileChange();
        const std::optional<quint64> mark = FileMark(path, MarkOf::Content);
        if (mark && LogLength(path) == sizeAfter) {
            m_keys.insert(hashOf(key));
            m_state.size = sizeAfter;
            m_mark = mark;
            return;
        }
    }
    m_mark.reset();
    const QString file = ResolvePath(path);
    FileIdentity now;
    // The file must be what the program knew plus exactly its own line: any
    // other growth was someone else's.
    bool ours = sizeAfter >= 0 && IdentityOf(file, now) && now.size == sizeAfter;
    if (existed)
        ours = ours && m_known && !m_endsWithinALine && file == m_file && now.dev == m_state.dev
            && now.ino == m_state.ino && m_state.size + appended == sizeAfter;
    else
        ours = ours && sizeAfter == appended;
    if (!ours) {
        Forget();
        return;
    }
    if (!existed)
        m_keys.clear();
    m_keys.insert(hashOf(key));
    m_file = file;
    m_state = now;
    m_known = true;
    m_endsWithinALine = false;
}

void RecordedAddresses::Forget()
{
    m_keys.clear();
    m_known = false;
    m_mark.reset();
}

RecordedAddresses& AnonymousAddresses()
{
    static RecordedAddresses addresses;
    return addresses;
}
