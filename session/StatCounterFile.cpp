#include "session/StatCounterFile.h"

#include "core/AppFolder.h"
#include "core/ErrorTexts.h"
#include "core/QuickReplace.h"
#include "core/SmallProcs.h"
#include "core/TextFile.h"
#include "session/NumberText.h"

QString StatCounterPath(const QString& userName, const char* suffix)
{
    return AppPath(QStringLiteral("/users/stats/") + userName + QLatin1String(suffix));
}

bool AddToStatCounter(const QString& path, qint64 amount, qint64& sessionField, QString& error)
{
    const bool existed = FileExists(path);
    qint64 total = amount;
    if (existed) {
        const std::optional<QString> first = ReadFirstLine(path);
        const qint64 old = first ? ParseCounter(*first).value_or(0) : 0;
        if (!AddChecked(old, amount, total)) {
            error = OverflowText();
            return false;
        }
    }
    if (const FileOpResult r = ReplaceLinesWithoutFlush(path, {QString::number(total)}); !r) {
        error = r.errorText;
        return false;
    }
    if (!existed) {
        sessionField = amount;
        return true;
    }
    qint64 field = 0;
    if (!AddChecked(sessionField, amount, field)) {
        error = OverflowText();
        return false;
    }
    sessionField = field;
    return true;
}
