#include "core/AppFiles.h"
#include "core/VirtualFolderMap.h"

#include "core/ErrorTexts.h"
#include "core/ProcessState.h"
#include "core/SmallProcs.h"
#include "core/TextCipher.h"
#include "core/TextFile.h"

namespace {

constexpr int HeaderLines = 4;

QString mapPath()
{
    return AppFiles::VirtualFolderMapFile();
}

class FileLines final : public MapLineSource {
public:
    // Every line after the plain header is enciphered.
    explicit FileLines(const QString& path) : m_reader(path, LineLimit::EncipheredField) {}
    bool atEnd() const override { return m_reader.atEnd(); }
    std::optional<QString> readLine() override { return m_reader.readLine(); }
    QString errorText() const override { return m_reader.errorText(); }
    bool damaged() const override { return m_reader.damaged() || !m_reader.isOpen(); }

private:
    LineReader m_reader;
};

} // namespace

QString MapLineSource::errorText() const
{
    return PastEndText();
}

QList<VirtualFolderRecord> ReadVirtualFolderRecords(MapLineSource& source, const MapLineReport& reportMissingLine)
{
    QList<VirtualFolderRecord> records;
    for (int i = 0; i < HeaderLines; ++i) {
        if (!source.readLine()) {
            reportMissingLine(source.errorText());
            if (source.damaged())
                return records;
        }
    }
    while (!source.atEnd()) {
        QString fields[4];
        bool whole = true;
        for (int i = 0; i < 4; ++i) {
            if (const std::optional<QString> line = source.readLine()) {
                fields[i] = ModMain::DeCipher(*line);
                continue;
            }
            reportMissingLine(source.errorText());
            whole = false;
            // A read that fails before the record has begun would fail again;
            // a damaged map is told once.
            if (i == 0 || source.damaged())
                return records;
        }
        if (whole)
            records.append(VirtualFolderRecord{fields[0], fields[1], fields[2], fields[3]});
    }
    return records;
}

QList<VirtualFolderRecord> ReadVirtualFolderMap(const MapLineReport& reportMissingLine)
{
    const QString path = mapPath();
    if (!FileExists(path))
        return {};
    FileLines lines(path);
    return ReadVirtualFolderRecords(lines, reportMissingLine);
}

QByteArray VirtualFolderMapBytes(const QList<VirtualFolderRecord>& records)
{
    QStringList lines{ModMain::VersionText + QString(21, QLatin1Char('*')), QStringLiteral("**   Virtual Directory  **"),
                      QStringLiteral("**   Configuration file **"), QString(26, QLatin1Char('*'))};
    for (const VirtualFolderRecord& r : records) {
        for (const QString* field : {&r.Name, &r.VirtualPath, &r.SourceFolder, &r.RealFolder})
            lines.append(ModMain::Encipher(*field));
    }
    return AnsiLines(lines);
}

FileOpResult WriteVirtualFolderMap(const QList<VirtualFolderRecord>& records)
{
    return WriteWholeFile(mapPath(), VirtualFolderMapBytes(records));
}

std::optional<QString> VirtualPathUnderHome(QString home, QString source)
{
    if (!home.endsWith(QLatin1Char('/')))
        home += QLatin1Char('/');
    if (!source.endsWith(QLatin1Char('/')))
        source += QLatin1Char('/');
    if (source.left(home.size()).compare(home, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QString rest = source.mid(home.size());
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (rest.trimmed().isEmpty())
        return QStringLiteral("/");
    if (!rest.startsWith(QLatin1Char('/')))
        rest.prepend(QLatin1Char('/'));
    return rest;
}
