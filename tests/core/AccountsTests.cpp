// Account and group files: the group lookup, the group loader and the
// clean-up of nameless files.
#include "core/Accounts.h"
#include "core/ProcessState.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

namespace {

QByteArray accountBytes(const QString& user, const QString& group, int lineCount = 36)
{
    AccountRecord a;
    a.UserId = user;
    a.Group = group;
    QStringList l = AccountFileLines(a).mid(0, lineCount);
    QByteArray out;
    for (const QString& s : l)
        out += s.toLatin1() + "\r\n";
    return out;
}

QByteArray groupBytes(QStringList lines)
{
    QByteArray out;
    for (const QString& s : lines)
        out += s.toLatin1() + "\r\n";
    return out;
}

} // namespace

TEST(GetUserGroup, MatchesExactlyThatAccount)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    home.write(QStringLiteral("/users/U_bob"), accountBytes(QStringLiteral("bob"), QStringLiteral("staff")));
    home.write(QStringLiteral("/users/U_bobby"), accountBytes(QStringLiteral("bobby"), QStringLiteral("guests")));
    home.write(QStringLiteral("/users/U_Carol"), accountBytes(QStringLiteral("Carol"), QStringLiteral("")));

    EXPECT_EQ(ModMain::GetUserGroup(QStringLiteral("bob")), QStringLiteral("staff"));
    EXPECT_EQ(ModMain::GetUserGroup(QStringLiteral("BOB")), QStringLiteral("staff"));
    EXPECT_EQ(ModMain::GetUserGroup(QStringLiteral("bobby")), QStringLiteral("guests"));
    EXPECT_EQ(ModMain::GetUserGroup(QStringLiteral("bo")), QString());
    EXPECT_EQ(ModMain::GetUserGroup(QStringLiteral("carol")), QString()); // empty line 14
    EXPECT_EQ(ModMain::GetUserGroup(QStringLiteral("   ")), QString());
    for (const char* unsafe : {"*", "b?b", "../users/U_bob", "x/../../bob"})
        EXPECT_EQ(ModMain::GetUserGroup(QString::fromLatin1(unsafe)), QString()) << unsafe;
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

TEST(GetUserGroup, ShortFileGivesNoGroupAndOneReport)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    home.write(QStringLiteral("/users/U_short"), accountBytes(QStringLiteral("short"), QStringLiteral("g"), 12));
    EXPECT_EQ(ModMain::GetUserGroup(QStringLiteral("short"), QStringLiteral("Quayport.frmMain.GetUserGroup")),
              QString());
    ASSERT_EQ(doubles.errors->reports.size(), 1);
    EXPECT_TRUE(doubles.errors->reports[0].contains(QStringLiteral("in Quayport.frmMain.GetUserGroup at line")));
}

TEST(GetGroup, LoadsFlagsInGroupFileOrder)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    QStringList lines(29, QStringLiteral("True"));
    lines[4] = QStringLiteral("False"); // line 5: Dir
    lines[8] = QStringLiteral("/srv/pub");
    home.write(QStringLiteral("/groups/G_staff"), groupBytes(lines));

    ModMain::CurrentGroup = {};
    EXPECT_TRUE(ModMain::GetGroup(QStringLiteral("Staff  ")));
    const auto& g = ModMain::CurrentGroup;
    EXPECT_FALSE(g.Dir);
    EXPECT_TRUE(g.DeleteFile && g.GetFile && g.PutFile && g.RenameFile && g.MakeDir && g.RemoveDir && g.ChangeDir);
    EXPECT_EQ(g.RootFolder, QStringLiteral("/srv/pub"));

    // A missing group changes nothing.
    ModMain::CurrentGroup.RootFolder = QStringLiteral("kept");
    EXPECT_TRUE(ModMain::GetGroup(QStringLiteral("nosuch")));
    EXPECT_EQ(ModMain::CurrentGroup.RootFolder, QStringLiteral("kept"));
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

TEST(GetGroup, ShortOrDamagedFileKeepsUnreadFields)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    home.write(QStringLiteral("/groups/G_short"),
               groupBytes({QStringLiteral("True"), QStringLiteral("nonsense"), QStringLiteral("True")}));
    ModMain::CurrentGroup = {};
    ModMain::CurrentGroup.GetFile = true;
    ModMain::CurrentGroup.RenameFile = true;
    ModMain::CurrentGroup.RootFolder = QStringLiteral("kept");
    ModMain::GetGroup(QStringLiteral("short"));
    EXPECT_TRUE(ModMain::CurrentGroup.DeleteFile);
    EXPECT_TRUE(ModMain::CurrentGroup.GetFile);    // did not convert: old value
    EXPECT_TRUE(ModMain::CurrentGroup.RenameFile); // never read: old value, not line 3's
    EXPECT_EQ(ModMain::CurrentGroup.RootFolder, QStringLiteral("kept"));
    EXPECT_EQ(doubles.errors->reports.size(), 2);
}

TEST(CheckUG, DeletesOnlyNamelessFilesAndLogsRealDeletions)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    home.write(QStringLiteral("/users/U_"), "x");
    home.write(QStringLiteral("/groups/g_"), "x");
    home.write(QStringLiteral("/users/U_x"), "x");
    ModMain::CheckUG();
    EXPECT_FALSE(home.exists(QStringLiteral("/users/U_")));
    EXPECT_FALSE(home.exists(QStringLiteral("/groups/g_")));
    EXPECT_TRUE(home.exists(QStringLiteral("/users/U_x")));
    ASSERT_EQ(doubles.consoleLog.rows.size(), 2);
    EXPECT_TRUE(doubles.consoleLog.rows[0].endsWith(QStringLiteral("\nU_ deleted.")));
    EXPECT_TRUE(doubles.consoleLog.rows[1].endsWith(QStringLiteral("\ng_ deleted.")));

    doubles.consoleLog.rows.clear();
    ModMain::CheckUG();
    EXPECT_TRUE(doubles.consoleLog.rows.isEmpty());
}

TEST(CheckUG, FailedDeletionIsNotLogged)
{
    TempAppFolder home;
    home.write(QStringLiteral("/users/U_"), "x");
    MakeReadOnlyForOthers(home.file(QStringLiteral("/users")));
    EXPECT_EXIT(
        {
            BecomeUnprivileged();
            InstalledDoubles doubles;
            ModMain::CheckUG();
            std::exit(doubles.consoleLog.rows.isEmpty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(home.exists(QStringLiteral("/users/U_")));
}
