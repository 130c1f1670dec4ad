#pragma once
// Trend records: a session's eight counters (files deleted, received, sent,
// transferred, then the bytes in the same order), appended per session to
// users/stats/Trend_<user>.txt and summed per day into
// Trend_User_Day_<user>.<stamp>.txt and Trend_Group_Day_<group>.<stamp>.txt.
#include "core/AppFiles.h"

#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class UserObj;

using TrendRecord = std::array<qint64, 8>;
// Receives the description of each failure.
using TrendReport = std::function<void(const QString&)>;

TrendRecord TrendOf(const UserObj& record);


// Appends one record, creating the file when it is missing.
void AppendTrend(const QString& path, const TrendRecord& record, const TrendReport& report);

// Adds the record into the day file, or creates it holding the record. A
// missing or non-numeric line counts as 0; a sum that does not fit keeps the
// value read. A file that exists but cannot be read is left alone, so the
// day's totals are never replaced by one session's values.
void AddToDayTrend(const QString& path, const TrendRecord& record, const TrendReport& report);

// Reading trend records back, for the statistics charts.

// The records of a trend file, oldest first, eight lines each. A line that is
// no number is reported and counts as 0; a record cut short by the end of the
// file gives one report per missing line, and its missing fields count as 0.
// No value when the file cannot be opened (reported).
std::optional<QList<TrendRecord>> ReadTrendRecords(const QString& path, const TrendReport& report);

// The date of a day file: the year and the day of the year of its stamp.
struct TrendDay {
    int year = 0;
    int day = 0;
    friend auto operator<=>(const TrendDay&, const TrendDay&) = default;
};

// The stamp of a file named exactly <prefix><stamp>.txt, the stamp being the
// 5 to 7 digits a day file carries; letter case is ignored. No value for any
// other name, so "Trend_User_Day_bob.txt" is no day file of "bob".
std::optional<TrendDay> DayTrendStamp(const QString& fileName, const QString& prefix);
