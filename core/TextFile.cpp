#include "core/TextFile.h"

#include "core/AnsiCodec.h"
#include "core/FileContentCache.h"
#include "core/FileNames.h"
#include "core/LogAppend.h"
#include "core/NoReplaceRename.h"
#include "core/RawWrite.h"
#include "core/StaleTemporaries.h"

#include <QFileInfo>
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
    if (err == 0)
        return {};
    return ErrnoFailure(err);
}

bool RemoveFile(const QString& path)
{
    const QString p = ResolvePath(path);
    QFileInfo fi(p);
    return (fi.isFile() || fi.isSymLink()) && QFile::remove(p);
}

qint64 FileLength(const QString& path)
{
    QFileInfo fi(ResolvePath(path));
    return fi.isFile() ? fi.size() : -1;
}

LineReader::LineReader(const QString& path)
{
    // A file found as spelt needs no letter-case look-up.
    std::optional<QByteArray> bytes = path.isEmpty() ? std::nullopt : SmallFileContent(path);
    m_file.setFileName(bytes ? path : ResolvePath(path));
    if (!bytes && m_file.fileName() != path)
        bytes = SmallFileContent(m_file.fileName());
    if (bytes) {
        m_inMemory = true;
        m_bytes = std::move(*bytes);
        return;
    }
    if (QFileInfo(m_file.fileName()).isFile())
        m_file.open(QIODevice::ReadOnly);
}

std::optional<QString> LineReader::readLine()
{
    QByteArray line;
    if (m_inMemory) {
        if (m_pos >= m_bytes.size())
            return std::nullopt;
        const qsizetype newline = m_bytes.indexOf('\n', m_pos);
        const qsizetype end = newline < 0 ? m_bytes.size() : newline + 1;
        line = m_bytes.mid(m_pos, end - m_pos);
        m_pos = end;
    } else {
        if (!m_file.isOpen() || m_file.atEnd())
            return std::nullopt;
        line = m_file.readLine();
        if (line.isEmpty() && m_file.error() != QFileDevice::NoError)
            return std::nullopt;
    }
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return FromAnsi(line);
}

bool LineReader::atEnd() const
{
    if (m_inMemory)
        return m_pos >= m_bytes.size();
    return !m_file.isOpen() || m_file.atEnd();
}

std::optional<QString> ReadFirstLine(const QString& path)
{
    LineReader r(path);
    return r.readLine();
}
