// Replacing the small per-session files without a flush: the content that
// lands, the spelling kept, one hidden partner reused per file, and failures that
// leave the old file as it was.
#include "core/QuickReplace.h"
#include "tests/support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(QuickReplace, ReplacesCreatesAndReusesOneHiddenFile)
{
    TempAppFolder home;
    home.write(QStringLiteral("/stats/Bob.Sent_File_Count.txt"), "7\r\n");
    const struct {
        const char* written; // the path given
        const char* lines;   // the content, lines joined by "|"
        const char* stored;  // the file that holds it
    } cases[] = {
        {"/stats/Bob.Sent_File_Count.txt", "8", "/stats/Bob.Sent_File_Count.txt"},
        {"/stats/bob.sent_file_count.txt", "9", "/stats/Bob.Sent_File_Count.txt"}, // its own spelling kept
        {"/stats/Trend_User_Day_bob.2026343.txt", "1|2|3|4|5|6|7|8", "/stats/Trend_User_Day_bob.2026343.txt"},
        {"/stats/Trend_User_Day_bob.2026343.txt", "2|4|6|8|10|12|14|16", "/stats/Trend_User_Day_bob.2026343.txt"},
        {"/stats/Bob.Sent_File_Count.txt", "10", "/stats/Bob.Sent_File_Count.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        const QStringList lines = QString::fromLatin1(c.lines).split(QLatin1Char('|'));
        ASSERT_TRUE(ReplaceLinesWithoutFlush(home.file(QString::fromLatin1(c.written)), lines));
        EXPECT_EQ(home.read(QString::fromLatin1(c.stored)), AnsiLines(lines));
    }
    const QDir stats(home.file(QStringLiteral("/stats")));
    EXPECT_EQ(stats.entryList(QDir::Files),
              (QStringList{QStringLiteral("Bob.Sent_File_Count.txt"), QStringLiteral("Trend_User_Day_bob.2026343.txt")}));
    // Each has one hidden partner, whatever many writes; a shorter content is cut to its length.
    EXPECT_EQ(stats.entryList(QDir::Files | QDir::Hidden).size(), 4);
    ASSERT_TRUE(ReplaceLinesWithoutFlush(home.file(QStringLiteral("/stats/Trend_User_Day_bob.2026343.txt")), {"1"}));
    ASSERT_TRUE(ReplaceLinesWithoutFlush(home.file(QStringLiteral("/stats/Trend_User_Day_bob.2026343.txt")), {"2"}));
    EXPECT_EQ(home.read(QStringLiteral("/stats/Trend_User_Day_bob.2026343.txt")), QByteArray("2\r\n"));

    // Removed, a file takes its partner along.
    EXPECT_TRUE(RemoveWithPartner(home.file(QStringLiteral("/stats/bob.sent_file_count.txt"))));
    EXPECT_TRUE(RemoveWithPartner(home.file(QStringLiteral("/stats/Trend_User_Day_bob.2026343.txt"))));
    EXPECT_TRUE(stats.entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(QuickReplace, FailureLeavesTheOldFile)
{
    TempAppFolder home;
    home.write(QStringLiteral("/stats/a.txt"), "1\r\n");
    QDir().mkpath(home.file(QStringLiteral("/stats/folder.txt")));
    EXPECT_FALSE(ReplaceWithoutFlush(home.file(QStringLiteral("/stats/folder.txt")), "2\r\n"));
    EXPECT_FALSE(ReplaceWithoutFlush(home.file(QStringLiteral("/missing/a.txt")), "2\r\n"));
    if (::geteuid() != 0) { // root writes into a read-only folder anyway
        ::chmod(QFile::encodeName(home.file(QStringLiteral("/stats"))).constData(), 0555);
        EXPECT_FALSE(ReplaceWithoutFlush(home.file(QStringLiteral("/stats/a.txt")), "2\r\n"));
        ::chmod(QFile::encodeName(home.file(QStringLiteral("/stats"))).constData(), 0755);
    }
    EXPECT_EQ(home.read(QStringLiteral("/stats/a.txt")), QByteArray("1\r\n"));
}
