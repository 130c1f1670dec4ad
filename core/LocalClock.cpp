#include "core/LocalClock.h"

#include "core/FileMarks.h"

#include <QMutex>
#include <cstdlib>
#include <ctime>

namespace {

struct ZoneOffset {
    QMutex mutex;
    qint64 minute = -1;              // the UTC minute the offset was taken in
    int seconds = 0;                 // ahead of UTC
    std::optional<quint64> zoneFile; // the zone file's mark then
    QByteArray zoneVariable;         // TZ then
    bool zoneVariableSet = false;
    quint64 checkedIn = 0; // the FTP notification that last checked the zone
};

ZoneOffset& Offset()
{
    static ZoneOffset offset;
    return offset;
}

// True when the zone is still the one the offset was taken in.
bool SameZone(const ZoneOffset& z, const std::optional<quint64>& zoneFile, const char* variable)
{
    return zoneFile && zoneFile == z.zoneFile && (variable != nullptr) == z.zoneVariableSet
        && (!variable || z.zoneVariable == variable);
}

} // namespace

QDateTime LocalNow()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    const qint64 msecs = qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
    const qint64 minute = qint64(t.tv_sec) / 60;
    ZoneOffset& z = Offset();
    const quint64 instant = CurrentFileInstant();
    const QMutexLocker lock(&z.mutex);
    // The zone is checked once per notification (and at every call outside one).
    if (minute != z.minute || instant == 0 || instant != z.checkedIn) {
        const char* variable = std::getenv("TZ");
        const std::optional<quint64> zoneFile = FileMark(QStringLiteral("/etc/localtime"), MarkOf::Content);
        if (minute != z.minute || !SameZone(z, zoneFile, variable)) {
            z.seconds = QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime).offsetFromUtc();
            z.minute = minute;
            z.zoneFile = zoneFile;
            z.zoneVariableSet = variable != nullptr;
            z.zoneVariable = variable ? QByteArray(variable) : QByteArray();
        }
        z.checkedIn = instant;
    }
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::OffsetFromUTC, z.seconds);
}
