// The names of the application folder's files: a name from outside becomes
// one file name in its folder, or no path at all.
#include "core/AppFiles.h"
#include "tests/support/TempAppFolder.h"

#include <QDate>
#include <functional>
#include <gtest/gtest.h>

TEST(AppFiles, ANameFromOutsideIsOneFileNameOrNoPath)
{
    TempAppFolder home;
    const QDate day(2026, 2, 10);
    const struct {
        const char* what;
        std::function<QString(const QString&)> path;
        const char* tailForBob; // the path for "bob", below the folder
        bool emptyNameNamesAFile;
    } cases[] = {
        {"account", AppFiles::AccountFile, "/users/U_bob", true},
        {"group", AppFiles::GroupFile, "/groups/G_bob", true},
        {"user log", AppFiles::UserLog, "/logs/U_bob.txt", false},
        {"group log", AppFiles::GroupLog, "/logs/G_bob.txt", false},
        {"listed log", AppFiles::LogFile, "/logs/bob", false},
        {"counter", [](const QString& n) { return StatCounterPath(n, StatSuffix::SentSize); },
         "/users/stats/bob.Sent_File_Size.txt", true},
        {"session trend", SessionTrendPath, "/users/stats/Trend_bob.txt", true},
        {"user day", [&](const QString& n) { return UserDayTrendPath(n, day); },
         "/users/stats/Trend_User_Day_bob.202641.txt", true},
        {"group day", [&](const QString& n) { return GroupDayTrendPath(n, day); },
         "/users/stats/Trend_Group_Day_bob.202641.txt", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.path(QStringLiteral("bob")), home.file(QString::fromLatin1(c.tailForBob)));
        for (const char* outside : {"..", ".", "../bob", "a/b", "a\\b", "b*", "b?", "b\tc", "b\x7f"})
            EXPECT_TRUE(c.path(QString::fromLatin1(outside)).isEmpty()) << outside;
        if (c.emptyNameNamesAFile)
            EXPECT_FALSE(c.path(QString()).isEmpty());
        else
            EXPECT_TRUE(c.path(QString()).isEmpty());
    }
}
