#pragma once
// The program's text files: ANSI (Windows-1252) lines ended by CR LF. Whole
// files are replaced atomically, logs are appended, a line that cannot be read
// gives no value, and a rename never replaces an existing file. Every path goes
// through the case-insensitive resolver.
#include "core/LineLimits.h"
#include "core/RegularFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// A field of a line-structured file never holds a line break: CR and LF
// become blanks.
QString OneLineField(QString field);

// Each line followed by CR LF, in ANSI.
QByteArray AnsiLines(const QStringList& lines);

struct FileOpResult {
    bool ok = true;
    int errorNumber = 0;
    QString errorText;
    explicit operator bool() const { return ok; }
};

// Replaces the whole file: the new content is written and flushed to a
// hidden temporary beside it (StaleTemporaries.h), which is then renamed over
// it. On any failure the old file is left intact and the temporary removed.
FileOpResult WriteWholeFile(const QString& path, const QByteArray& bytes);
FileOpResult WriteLines(const QString& path, const QStringList& lines);
// Appends, creating the file when it is missing; a failed append leaves the
// file as it was.
FileOpResult AppendToFile(const QString& path, const QByteArray& bytes);
// Fails when the target exists.
FileOpResult RenameNoReplace(const QString& from, const QString& to);
bool RemoveFile(const QString& path);
// Length in bytes; -1 when the file cannot be measured.
qint64 FileLength(const QString& path);

// Reads a text file line by line. CR LF and LF both end a line. Only a
// regular file is read (RegularFile.h). A line longer than the limit given
// (LineLimits.h) marks the file as damaged: reading ends there, after no more
// than the limit and one read's worth of bytes.
class LineReader {
public:
    explicit LineReader(const QString& path, qsizetype lineLimit = LineLimit::Any);
    bool isOpen() const { return m_inMemory || m_fd.isValid(); }
    // Why the file could not be opened, or why the last line gave no value
    // ("Input past end of file" at its end).
    QString errorText() const;
    // True once a line was too long.
    bool damaged() const { return m_damaged; }
    // The next line, or no value at the end of the file, on a read failure or
    // at a line too long.
    std::optional<QString> readLine();
    // True at the end of the file, and after any line that gave no value.
    bool atEnd() const;

private:
    // Reads more bytes behind those not yet taken; false at the end or on failure.
    bool fill() const;

    qsizetype m_limit;
    FileDescriptor m_fd;
    // A small file is read whole at once (often from memory); a larger one is
    // read a piece at a time. m_bytes[m_pos..] is what is not taken yet.
    bool m_inMemory = false;
    mutable QByteArray m_bytes;
    mutable qsizetype m_pos = 0;
    mutable bool m_eof = false;
    mutable int m_error = 0; // of the open or of a read
    bool m_damaged = false;
};

// The first line of a file, or no value.
std::optional<QString> ReadFirstLine(const QString& path, qsizetype lineLimit = LineLimit::Any);
