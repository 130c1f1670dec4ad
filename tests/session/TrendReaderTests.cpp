// Trend files: records read back whole or damaged, which names are day files
// of a given user or group, and the day totals kept from one logout to the next.
#include "session/TrendFiles.h"
#include "tests/support/TempAppFolder.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct ReadCase {
    const char* name;
    QByteArray content;
    QList<TrendRecord> records;
    QStringList reports;
};

} // namespace

TEST(TrendReader, RecordsAndDamage)
{
    const QList<ReadCase> cases = {
        {"two records, LF lines too, 64-bit bytes",
         "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n12345678901\r\n0\n0\n0\n0\n0\n0\n1.5E+15\n9\n",
         {{1, 2, 3, 4, 5, 6, 7, Q_INT64_C(12345678901)}, {0, 0, 0, 0, 0, 0, Q_INT64_C(1500000000000000), 9}},
         {}},
        {"empty file", "", {}, {}},
        {"non-numbers count 0, never the previous record's value",
         "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\nx\r\n\r\n2\r\n2\r\n2\r\n2\r\n2\r\n2\r\n",
         {{1, 1, 1, 1, 1, 1, 1, 1}, {0, 0, 2, 2, 2, 2, 2, 2}},
         {"Type mismatch", "Type mismatch"}},
        {"a record cut short is reported once per missing line",
         "7\r\n7\r\n7\r\n7\r\n7\r\n7\r\n7\r\n7\r\n5\r\n6\r\n",
         {{7, 7, 7, 7, 7, 7, 7, 7}, {5, 6, 0, 0, 0, 0, 0, 0}},
         QStringList(6, QStringLiteral("Input past end of file"))},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppFolder home;
        home.write(QStringLiteral("/users/stats/Trend_bob.txt"), c.content);
        QStringList reports;
        const auto records = ReadTrendRecords(home.file(QStringLiteral("/users/stats/TREND_BOB.TXT")),
                                              [&](const QString& r) { reports.append(r); });
        ASSERT_TRUE(records.has_value());
        EXPECT_EQ(*records, c.records);
        EXPECT_EQ(reports, c.reports);
    }

    TempAppFolder home;
    QStringList reports;
    EXPECT_FALSE(ReadTrendRecords(home.file(QStringLiteral("/users/stats/missing.txt")),
                                  [&](const QString& r) { reports.append(r); }));
    EXPECT_EQ(reports.size(), 1);
}

TEST(TrendReader, DayFileNames)
{
    const QString prefix = QStringLiteral("Trend_User_Day_bob.");
    const struct {
        const char* file;
        std::optional<TrendDay> day;
    } cases[] = {
        {"Trend_User_Day_bob.20265.txt", TrendDay{2026, 5}},
        {"trend_user_day_BOB.2024366.TXT", TrendDay{2024, 366}},
        {"Trend_User_Day_bob.202641.txt", TrendDay{2026, 41}},
        {"Trend_User_Day_bob.txt", std::nullopt},           // the session file of "User_Day_bob"
        {"Trend_User_Day_bob.2026.txt", std::nullopt},      // too short
        {"Trend_User_Day_bob.20261234.txt", std::nullopt},  // too long
        {"Trend_User_Day_bob.2026x1.txt", std::nullopt},
        {"Trend_User_Day_bob.x.20265.txt", std::nullopt},   // another user's day file
        {"Trend_User_Day_bob.20265.txt.bak", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(DayTrendStamp(QLatin1String(c.file), prefix), c.day);
    }
    EXPECT_LT((TrendDay{2025, 365}), (TrendDay{2026, 1}));
    EXPECT_LT((TrendDay{2026, 11}), (TrendDay{2026, 100}));
}

// The day totals a logout wrote are added to from memory; any change to the
// file behind the program's back has the next logout read it again.
TEST(TrendDayFile, TotalsKeptBetweenLogoutsFollowTheFile)
{
    const QByteArray ones = "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n";
    const struct {
        const char* what;
        std::function<void(const TempAppFolder&, const QString&)> change;
        QByteArray after; // the file once a session of ones has been added
    } cases[] = {
        {"nothing", [](auto&, auto&) {}, "3\r\n3\r\n3\r\n3\r\n3\r\n3\r\n3\r\n3\r\n"},
        {"edited in place at once",
         [](auto&, const QString& path) {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.write("7");
         },
         "8\r\n3\r\n3\r\n3\r\n3\r\n3\r\n3\r\n3\r\n"},
        {"deleted", [](auto&, const QString& path) { QFile::remove(path); }, ones},
        {"replaced by a rename",
         [](auto& home, const QString& path) {
             home.write(QStringLiteral("/users/stats/new"), "5\r\n5\r\n5\r\n5\r\n5\r\n5\r\n5\r\n5\r\n");
             QFile::remove(path);
             ASSERT_TRUE(QFile::rename(home.file(QStringLiteral("/users/stats/new")), path));
         },
         "6\r\n6\r\n6\r\n6\r\n6\r\n6\r\n6\r\n6\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder home;
        const QString path = home.file(QStringLiteral("/users/stats/Trend_User_Day_bob.2026343.txt"));
        QStringList reports;
        const auto report = [&](const QString& r) { reports.append(r); };
        AddToDayTrend(path, {1, 1, 1, 1, 1, 1, 1, 1}, report);
        AddToDayTrend(path, {}, report); // nothing to add: the file stays as it is
        AddToDayTrend(path, {1, 1, 1, 1, 1, 1, 1, 1}, report);
        c.change(home, path);
        AddToDayTrend(path, {1, 1, 1, 1, 1, 1, 1, 1}, report);
        EXPECT_EQ(home.read(QStringLiteral("/users/stats/Trend_User_Day_bob.2026343.txt")), c.after);
        EXPECT_TRUE(reports.isEmpty()) << reports.join(QLatin1Char('|')).toStdString();
    }
}
