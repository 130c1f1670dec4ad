#include "session/TrendFiles.h"

#include "core/AppFiles.h"
#include "core/ErrorTexts.h"
#include "core/FileMarks.h"
#include "core/QuickReplace.h"
#include "core/SmallProcs.h"
#include "core/TextFile.h"
#include "session/NumberText.h"
#include "session/UserObj.h"

#include <QFileInfo>
#include <QHash>
#include <QStringList>

namespace {

// The record's eight lines as the file holds them: digits and CR LF only.
QByteArray Lines(const TrendRecord& record)
{
    QByteArray lines;
    lines.reserve(8 * 4);
    for (qint64 value : record) {
        lines += QByteArray::number(value);
        lines += "\r\n";
    }
    return lines;
}

// The totals of the day files as last written here, with the file's mark
// then: while the mark stands the file still holds them (FileMarks.h), so a
// logout adds to them without reading the file back. Any change to the file
// by anyone else moves the mark, and the file is read again.
class WrittenDays {
public:
    std::optional<TrendRecord> find(const QString& path)
    {
        const auto it = m_days.constFind(path);
        if (it == m_days.cend())
            return std::nullopt;
        if (FileMark(path, MarkOf::Content) == it->mark)
            return it->sums;
        m_days.erase(it);
        return std::nullopt;
    }

    void keep(const QString& path, const std::optional<TrendRecord>& sums)
    {
        // Taken after the write, so the write's own notices are behind it.
        const std::optional<quint64> mark = sums ? FileMark(path, MarkOf::Content) : std::nullopt;
        if (!mark) {
            m_days.remove(path);
            return;
        }
        if (m_days.size() >= 256) // a day's worth of users and groups; the next day starts again
            m_days.clear();
        m_days.insert(path, Day{*sums, *mark});
    }

private:
    struct Day {
        TrendRecord sums;
        quint64 mark;
    };
    QHash<QString, Day> m_days;
};

WrittenDays& Written()
{
    static WrittenDays days;
    return days;
}

} // namespace

TrendRecord TrendOf(const UserObj& r)
{
    return {r.FilesDeleted, r.FilesReceived, r.FilesSent, r.FilesTransfered,
            r.BytesDeleted, r.BytesReceived, r.BytesSent, r.BytesTransfered};
}

void AppendTrend(const QString& path, const TrendRecord& record, const TrendReport& report)
{
    if (const FileOpResult r = AppendToFile(path, Lines(record)); !r)
        report(r.errorText);
}

void AddToDayTrend(const QString& path, const TrendRecord& record, const TrendReport& report)
{
    TrendRecord sums = record;
    if (const std::optional<TrendRecord> written = Written().find(path)) {
        for (size_t i = 0; i < sums.size(); ++i) {
            if (!AddChecked((*written)[i], record[i], sums[i])) {
                report(OverflowText());
                sums[i] = (*written)[i];
            }
        }
        // The file holds these very lines already (a session that moved
        // nothing): rewriting them would change nothing but its time stamps.
        if (sums == *written)
            return;
    } else if (FileExists(path)) {
        LineReader reader(path, LineLimit::Number);
        bool damaged = false;
        if (!reader.isOpen()) {
            report(reader.errorText());
            return;
        }
        for (size_t i = 0; i < sums.size(); ++i) {
            qint64 stored = 0;
            if (const std::optional<QString> line = reader.readLine()) {
                if (const std::optional<qint64> value = ParseCounter(*line))
                    stored = *value;
                else
                    report(TypeMismatchText());
            } else if (!damaged) {
                report(reader.errorText());
                damaged = reader.damaged(); // told once; the rest counts as nothing
            }
            if (!AddChecked(stored, record[i], sums[i])) {
                report(OverflowText());
                sums[i] = stored;
            }
        }
    }
    const FileOpResult r = ReplaceWithoutFlush(path, Lines(sums));
    if (!r)
        report(r.errorText);
    Written().keep(path, r ? std::optional<TrendRecord>(sums) : std::nullopt);
}

std::optional<QList<TrendRecord>> ReadTrendRecords(const QString& path, const TrendReport& report)
{
    LineReader reader(path, LineLimit::Number);
    if (!reader.isOpen()) {
        const QFileInfo file(path);
        report((FileExists(path) ? reader.errorText() : FileNotFoundText()) + QStringLiteral(": ")
               + file.fileName());
        return std::nullopt;
    }
    QList<TrendRecord> records;
    for (std::optional<QString> line = reader.readLine(); line; line = reader.readLine()) {
        TrendRecord record{};
        for (size_t i = 0; i < record.size(); ++i) {
            if (i > 0 && !(line = reader.readLine())) {
                // Each missing line is a read that failed; a damaged file is told once.
                for (; i < record.size() && !reader.damaged(); ++i)
                    report(PastEndText());
                break;
            }
            if (const std::optional<qint64> value = ParseCounter(*line))
                record[i] = *value;
            else
                report(TypeMismatchText());
        }
        records.append(record);
        if (!line)
            break;
    }
    if (reader.damaged())
        report(reader.errorText() + QStringLiteral(": ") + QFileInfo(path).fileName());
    return records;
}

std::optional<TrendDay> DayTrendStamp(const QString& fileName, const QString& prefix)
{
    const QString suffix = QStringLiteral(".txt");
    if (!fileName.startsWith(prefix, Qt::CaseInsensitive) || !fileName.endsWith(suffix, Qt::CaseInsensitive))
        return std::nullopt;
    const QString stamp = fileName.mid(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    if (stamp.size() < 5 || stamp.size() > 7)
        return std::nullopt;
    for (const QChar c : stamp) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    return TrendDay{stamp.left(4).toInt(), stamp.mid(4).toInt()};
}
