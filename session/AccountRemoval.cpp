#include "session/AccountRemoval.h"

#include "core/AppFiles.h"
#include "core/FileNames.h"
#include "core/QuickReplace.h"
#include "core/SmallProcs.h"
#include "core/TextFile.h"
#include "session/StatCounterFile.h"
#include "session/TrendFiles.h"

#include <QRegularExpression>

namespace {

// The day trend files <prefix><name>.<year and day>.txt, and no others.
void removeDayTrends(const QString& prefix, const QString& name)
{
    static const QRegularExpression stamp(QStringLiteral("^\\.\\d{5,7}\\.txt$"), QRegularExpression::CaseInsensitiveOption);
    const QString start = prefix + name;
    for (const QString& file : ListFiles(AppFiles::StatsFolder(), start + QStringLiteral(".*"))) {
        if (stamp.match(file.mid(start.size())).hasMatch())
            RemoveWithPartner(AppFiles::StatsFolder() + QLatin1Char('/') + file);
    }
}

// Removes the main file and what belongs to it; true when the main file is gone.
template <class Rest>
bool removeWith(const QString& mainFile, Rest&& rest)
{
    RemoveFile(mainFile);
    rest();
    return !FileExists(mainFile);
}

bool safe(const QString& name)
{
    return !name.isEmpty() && IsSafeName(name);
}

} // namespace

bool RemoveAccountFiles(const QString& name)
{
    if (!safe(name))
        return false;
    return removeWith(AppFiles::AccountFile(name), [&] {
        RemoveFile(AppFiles::UserLog(name));
        using namespace StatSuffix;
        for (const char* suffix : {SentCount, SentSize, ReceivedCount, ReceivedSize, TransferedCount, TransferedSize,
                                   DeletedCount, DeletedSize})
            RemoveWithPartner(StatCounterPath(name, suffix));
        RemoveFile(SessionTrendPath(name));
        removeDayTrends(DayTrendPrefix(true), name);
    });
}

bool RemoveGroupFiles(const QString& name)
{
    if (!safe(name))
        return false;
    return removeWith(AppFiles::GroupFile(name), [&] {
        RemoveFile(AppFiles::GroupLog(name));
        removeDayTrends(DayTrendPrefix(false), name);
    });
}
