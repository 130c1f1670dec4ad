#pragma once
// The program's text files: ANSI (Windows-1252) lines ended by CR LF. Whole
// files are replaced atomically, logs are appended, a line that cannot be read
// gives no value, and a rename never replaces an existing file. Every path goes
// through the case-insensitive resolver.
#include <QByteArray>
#include <QFile>
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

// Reads a text file line by line. CR LF and LF both end a line.
class LineReader {
public:
    explicit LineReader(const QString& path);
    bool isOpen() const { return m_inMemory || m_file.isOpen(); }
    QString errorText() const { return m_file.errorString(); }
    // The next line, or no value at the end of the file or on a read failure.
    std::optional<QString> readLine();
    bool atEnd() const;

private:
    QFile m_file;
    // A small file is read whole at once (often from memory) and its lines
    // taken from here.
    bool m_inMemory = false;
    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

// The first line of a file, or no value.
std::optional<QString> ReadFirstLine(const QString& path);
