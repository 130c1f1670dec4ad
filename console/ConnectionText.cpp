#include "console/ConnectionText.h"

#include <cmath>

namespace {

QString lastTwoDigits(qint64 n)
{
    return (QStringLiteral("0") + QString::number(n)).right(2);
}

} // namespace

QString ConnectionTimeText(qint64 seconds)
{
    return lastTwoDigits(seconds / 3600) + QLatin1Char(':') + lastTwoDigits((seconds / 60) % 60) + QLatin1Char(':')
        + lastTwoDigits(seconds % 60);
}

QString MegabyteText(double bytes)
{
    // Six decimals of megabytes are whole bytes; round once, then split.
    const double rounded = std::nearbyint(bytes);
    const bool negative = rounded < 0;
    const long double whole = std::fabs(rounded);
    const auto megabytes = static_cast<unsigned long long>(std::floor(whole / 1'000'000.0L));
    const auto rest = static_cast<unsigned long long>(whole - static_cast<long double>(megabytes) * 1'000'000.0L);
    const QString six = QStringLiteral("%1").arg(rest, 6, 10, QLatin1Char('0'));
    return (negative ? QStringLiteral("-") : QString()) + QString::number(megabytes) + QLatin1Char('.') + six.left(3)
        + QLatin1Char('.') + six.mid(3);
}

QString SessionStateText(qint32 state)
{
    switch (state) {
    case 0:
        return QStringLiteral("Authorizing");
    case 1:
        return QStringLiteral("Connected");
    case 2:
        return QStringLiteral("Receiving file");
    case 3:
        return QStringLiteral("Sending file");
    default:
        return {};
    }
}
