#include "core/GeneralDate.h"

namespace {

// Rewrites the format's unquoted fields: every year field becomes "yyyy" and
// time-zone fields go.
QString fullFormat(const QString& format)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (quoted || (c != QLatin1Char('y') && c != QLatin1Char('t'))) {
            out += c;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < format.size() && format.at(end) == c)
            ++end;
        if (c == QLatin1Char('y'))
            out += QStringLiteral("yyyy");
        i = end;
    }
    return out.simplified();
}

} // namespace

QString GeneralDateText(const QDateTime& when, const QLocale& locale)
{
    const QString date = locale.toString(when.date(), fullFormat(locale.dateFormat(QLocale::ShortFormat)));
    const QString time = locale.toString(when.time(), fullFormat(locale.timeFormat(QLocale::LongFormat)));
    return date + QLatin1Char(' ') + time;
}
