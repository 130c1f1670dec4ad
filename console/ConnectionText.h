#pragma once
// How the console writes a connection's time, state and byte counts.
#include <QString>

// "hh:mm:ss" from whole seconds; each part is its last two digits, so from
// 100 hours on the hours wrap.
QString ConnectionTimeText(qint64 seconds);
// Megabytes with six decimals grouped by three: 1234567 bytes give 1.234.567.
QString MegabyteText(double bytes);
// "Authorizing", "Connected", "Receiving file", "Sending file"; empty otherwise.
QString SessionStateText(qint32 state);
