#include "core/TextFile.h"

#include "core/AnsiCodec.h"
#include "core/ErrorTexts.h"
#include "core/FileContentCache.h"
#include "core/FileMarks.h"
#include "core/FileNames.h"
#include "core/LogAppend.h"
#include "core/NoReplaceRename.h"
#include "core/RawWrite.h"
#include "core/StaleTemporaries.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString OneLineField(QString field)
{
    field.replace(QLatin1Char('\r'), QLatin1Char(' '));
    field.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return field;
}

QByteArray AnsiLines(const QStringList& lines)
{
    QByteArray out;
    for (const QString& l : lines) {
        out += ToAnsi(l);
        out += "\r\n";
    }
    return out;
}

FileOpResult WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    // A link is followed: the file it names is replaced, the link stays.
    QString target = ResolvePath(path);
    if (const QFileInfo link(target); link.isSymLink()) {
        const QString canonical = link.canonicalFilePath();
        target = canonical.isEmpty() ? link.symLinkTarget() : canonical;
    }
    const QByteArray final = QFile::encodeName(target);
    struct stat old {};
    const bool existed = ::stat(final.constData(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        return ErrnoFailure(EISDIR);
    // Renaming over a FIFO or a device (through a link, /dev/null itself)
    // would replace it: what is no file is left alone.
    if (existed && !S_ISREG(old.st_mode))
        return ErrnoFailure(NotRegularFile);
    const mode_t mode = existed ? (old.st_mode & 0777) : 0666;

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = QFile::encodeName(RewriteTemporaryPath(target));
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            return ErrnoFailure(errno);
    }
    if (fd < 0)
        return ErrnoFailure(EEXIST);
    // The file keeps its permissions whatever the umask.
    int err = existed && ::fchmod(fd, mode) != 0 ? errno : 0;
    if (err == 0)
        err = WriteAll(fd, bytes);
    if (err == 0 && ::fdatasync(fd) != 0 && errno != EINVAL)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temporary.constData(), final.constData()) != 0)
        err = errno;
    NoteOwnFileChange();
    if (err != 0) {
        ::unlink(temporary.constData());
        return ErrnoFailure(err);
    }
    return {};
}

FileOpResult WriteLines(const QString& path, const QStringList& lines)
{
    return WriteWholeFile(path, AnsiLines(lines));
}

FileOpResult AppendToFile(const QString& path, const QByteArray& bytes)
{
    qint64 size = 0;
    return AppendMeasured(path, bytes, size);
}

FileOpResult RenameNoReplace(const QString& from, const QString& to)
{
    const int err = NoReplaceRename(ResolvePath(from), ResolvePath(to));
    NoteOwnFileChange();
    if (err == 0)
        return {};
    return ErrnoFailure(err);
}

bool RemoveFile(const QString& path)
{
    const QString p = ResolvePath(path);
    QFileInfo fi(p);
    const bool removed = (fi.isFile() || fi.isSymLink()) && QFile::remove(p);
    if (removed)
        NoteOwnFileChange();
    return removed;
}

qint64 FileLength(const QString& path)
{
    QFileInfo fi(ResolvePath(path));
    return fi.isFile() ? fi.size() : -1;
}

namespace {

// A larger file is read this much at a time.
constexpr qsizetype ReadPiece = 64 * 1024;

} // namespace

LineReader::LineReader(const QString& path, qsizetype lineLimit)
    : m_limit(lineLimit)
{
    // A file found as spelt needs no letter-case look-up.
    std::optional<QByteArray> bytes = path.isEmpty() ? std::nullopt : SmallFileContent(path);
    const QString name = bytes ? path : ResolvePath(path);
    if (!bytes && name != path)
        bytes = SmallFileContent(name);
    if (bytes) {
        m_inMemory = true;
        m_bytes = std::move(*bytes);
        return;
    }
    m_fd.reset(OpenRegularFile(QFile::encodeName(name), O_RDONLY, 0, m_error));
}

QString LineReader::errorText() const
{
    if (m_damaged)
        return LineTooLongText();
    if (m_error == ENOENT)
        return FileNotFoundText();
    return m_error != 0 ? FileErrorText(m_error) : PastEndText();
}

bool LineReader::fill() const
{
    if (m_inMemory || m_eof || m_error != 0 || !m_fd.isValid())
        return false;
    m_bytes.remove(0, m_pos);
    m_pos = 0;
    const qsizetype kept = m_bytes.size();
    m_bytes.resize(kept + ReadPiece);
    ssize_t n = 0;
    do
        n = ::read(m_fd.get(), m_bytes.data() + kept, size_t(ReadPiece));
    while (n < 0 && errno == EINTR);
    m_bytes.resize(kept + std::max<ssize_t>(n, 0));
    if (n < 0)
        m_error = errno;
    else if (n == 0)
        m_eof = true;
    return n > 0;
}

std::optional<QString> LineReader::readLine()
{
    if (m_damaged || m_error != 0)
        return std::nullopt;
    qsizetype newline = -1;
    // A line with its CR may not pass the limit; past it no line end is looked for.
    while ((newline = m_bytes.indexOf('\n', m_pos)) < 0 && m_bytes.size() - m_pos <= m_limit + 1) {
        if (!fill())
            break;
    }
    if (m_error != 0)
        return std::nullopt;
    const qsizetype end = newline < 0 ? m_bytes.size() : newline;
    if (end == m_pos && newline < 0)
        return std::nullopt; // the end of the file
    qsizetype length = end - m_pos;
    if (length > 0 && m_bytes.at(end - 1) == '\r')
        --length;
    if (length > m_limit) {
        m_damaged = true;
        m_bytes.clear();
        m_pos = 0;
        return std::nullopt;
    }
    const QString line = FromAnsi(QByteArrayView(m_bytes).sliced(m_pos, length));
    m_pos = newline < 0 ? end : newline + 1;
    return line;
}

bool LineReader::atEnd() const
{
    if (m_damaged || m_error != 0)
        return true;
    return m_pos >= m_bytes.size() && !fill();
}

std::optional<QString> ReadFirstLine(const QString& path, qsizetype lineLimit)
{
    LineReader r(path, lineLimit);
    return r.readLine();
}
