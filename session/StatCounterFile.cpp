#include "session/StatCounterFile.h"

#include "core/ErrorTexts.h"
#include "core/QuickReplace.h"
#include "core/SmallProcs.h"
#include "core/TextFile.h"
#include "session/NumberText.h"

#include <QFileInfo>

QString UnreadableCounterText(const QString& path, const QString& why, const std::optional<QString>& firstLine)
{
    QString text = why + QStringLiteral(": ") + QFileInfo(path).fileName();
    if (!firstLine)
        return text;
    QString shown;
    for (const QChar c : *firstLine) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return text + QStringLiteral(" held \"") + shown + QLatin1Char('"');
}

bool AddToStatCounter(const QString& path, qint64 amount, qint64& sessionField, QString& error,
                      const CounterReport& reportUnreadable)
{
    const bool existed = FileExists(path);
    qint64 total = amount;
    if (existed) {
        LineReader reader(path, LineLimit::Number);
        const std::optional<QString> first = reader.readLine();
        const std::optional<qint64> old = first ? ParseCounter(*first) : std::nullopt;
        if (!old) {
            // Rewritten all the same, but the count it held is not lost unseen.
            const bool empty = !first && reader.isOpen() && reader.errorText() == PastEndText();
            reportUnreadable(UnreadableCounterText(path, first ? TypeMismatchText() : reader.errorText(),
                                                   empty ? QString() : first));
        }
        if (!AddChecked(old.value_or(0), amount, total)) {
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
