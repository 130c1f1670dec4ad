#pragma once
// The local date and time, read several times for every FTP event (log
// records, rotation stamps, trend days). The C library looks the time zone up
// again at every conversion (a stat of /etc/localtime each time); here the
// zone's offset from UTC is looked up once a minute, and again as soon as the
// zone file changes. Offsets change only on whole minutes.
#include <QDateTime>

// Now, as local date and time (a QDateTime with a fixed offset from UTC).
QDateTime LocalNow();
