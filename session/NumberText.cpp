#include "session/NumberText.h"

#include <cmath>
#include <limits>

std::optional<double> ParseDecimal(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<qint16> ToInt16(double value)
{
    const double r = RoundHalfEven(value);
    if (!std::isfinite(r) || r < std::numeric_limits<qint16>::min() || r > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(r);
}

std::optional<qint16> ToInt16(const QString& text)
{
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        return std::nullopt;
    return ToInt16(*value);
}

std::optional<qint64> ParseCounter(const QString& text)
{
    bool ok = false;
    const qint64 whole = text.trimmed().toLongLong(&ok);
    if (ok)
        return whole;
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        return std::nullopt;
    const double r = RoundHalfEven(*value);
    // 2^63 itself is not representable as qint64.
    if (r < -9223372036854775808.0 || r >= 9223372036854775808.0)
        return std::nullopt;
    return qint64(r);
}

bool AddChecked(qint64 a, qint64 b, qint64& sum)
{
    return !__builtin_add_overflow(a, b, &sum);
}
