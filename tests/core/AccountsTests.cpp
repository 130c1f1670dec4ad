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
    const auto& g = ModMain::CurrentGroup.Permissions;
    EXPECT_FALSE(g.Dir);
    EXPECT_TRUE(g.DeleteFile && g.GetFile && g.PutFile && g.RenameFile && g.MakeDir && g.RemoveDir && g.ChangeDir);
    EXPECT_EQ(ModMain::CurrentGroup.RootFolder, QStringLiteral("/srv/pub"));

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
    ModMain::CurrentGroup.Permissions.GetFile = true;
    ModMain::CurrentGroup.Permissions.RenameFile = true;
    ModMain::CurrentGroup.RootFolder = QStringLiteral("kept");
    ModMain::GetGroup(QStringLiteral("short"));
    EXPECT_TRUE(ModMain::CurrentGroup.Permissions.DeleteFile);
    EXPECT_TRUE(ModMain::CurrentGroup.Permissions.GetFile);    // did not convert: old value
    EXPECT_TRUE(ModMain::CurrentGroup.Permissions.RenameFile); // never read: old value, not line 3's
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

TEST(AccountReader, EveryLineCountGivesWhatItHoldsAndNothingFromBefore)
{
    TempAppFolder home;
    AccountRecord full;
    full.AdoptGroupCMDs = true;
    full.Permissions = PermissionSet::all(true);
    full.Permissions.Dir = false;
    full.UserId = QStringLiteral("Bob");
    full.Password = QStringLiteral("s3cret");
    full.Description = QStringLiteral("  two\r\nlines ");
    full.Email = QStringLiteral("bob@");
    full.Group = QStringLiteral(" Staff ");
    full.RootFolder = QStringLiteral("/srv/bob");
    full.UseGroupHomeDirectory = true;
    const QStringList lines = AccountFileLines(full);

    // Each length from nothing to the whole file: lines past the end give empty or False.
    for (int count = 0; count <= 16; ++count) {
        home.write(QStringLiteral("/users/U_bob"), groupBytes(lines.mid(0, count)));
        QList<int> faults;
        const AccountFileRead read = ReadAccountFile(AccountFilePath(QStringLiteral("bob")), [&](int line, LineFault f) {
            EXPECT_EQ(f, LineFault::PastEnd);
            faults.append(line);
            return true;
        });
        ASSERT_TRUE(read.Opened);
        QList<int> missing;
        for (int line = count + 1; line <= 16; ++line)
            missing.append(line);
        EXPECT_EQ(faults, missing) << count;
        const AccountRecord& a = read.Account;
        EXPECT_EQ(a.AdoptGroupCMDs, count >= 1);
        EXPECT_EQ(a.Permissions.ChangeDir, count >= 2);
        EXPECT_FALSE(a.Permissions.Dir);
        EXPECT_EQ(a.Permissions.RenameFile, count >= 9);
        EXPECT_EQ(a.UserId, count >= 10 ? full.UserId : QString());
        EXPECT_EQ(read.lineRead(AccountLine::Password), count >= 11);
        EXPECT_EQ(a.Password, count >= 11 ? full.Password : QString());
        EXPECT_EQ(a.Description, count >= 12 ? full.Description : QString());
        EXPECT_EQ(a.Email, count >= 13 ? full.Email : QString());
        EXPECT_EQ(a.Group, count >= 14 ? full.Group : QString());
        EXPECT_EQ(a.RootFolder, count >= 15 ? full.RootFolder : QString());
        EXPECT_EQ(a.UseGroupHomeDirectory, count >= 16);
    }

    // A flag that is no flag gives False and reading goes on; a missing file opens nothing.
    QStringList damaged = lines;
    damaged[0] = QStringLiteral("maybe");
    home.write(QStringLiteral("/users/U_bob"), groupBytes(damaged));
    QList<std::pair<int, LineFault>> faults;
    const AccountFileRead read = ReadAccountFile(AccountFilePath(QStringLiteral("bob")), [&](int line, LineFault f) {
        faults.append({line, f});
        return true;
    });
    EXPECT_EQ(faults, (QList<std::pair<int, LineFault>>{{1, LineFault::TypeMismatch}}));
    EXPECT_FALSE(read.Account.AdoptGroupCMDs);
    EXPECT_EQ(read.Account.Group, full.Group);
    EXPECT_FALSE(ReadAccountFile(AccountFilePath(QStringLiteral("nobody")), [](int, LineFault) { return true; }).Opened);
}

TEST(GroupReader, ReadsNineLinesAndStopsWhenAsked)
{
    TempAppFolder home;
    GroupRecord g;
    g.Permissions = PermissionSet::all(true);
    g.Permissions.PutFile = false;
    g.RootFolder = QStringLiteral("/srv/pub");
    home.write(QStringLiteral("/groups/G_pub"), groupBytes(GroupFileLines(g, true)));
    const auto never = [](int, LineFault) {
        ADD_FAILURE();
        return true;
    };
    const GroupFileRead read = ReadGroupFile(GroupFilePath(QStringLiteral("pub")), never);
    EXPECT_TRUE(read.Opened);
    EXPECT_EQ(read.LinesRead, 0x1FFu);
    EXPECT_FALSE(read.Group.Permissions.PutFile);
    EXPECT_TRUE(read.Group.Permissions.ChangeDir && read.Group.Permissions.DeleteFile);
    EXPECT_EQ(read.Group.RootFolder, g.RootFolder);

    home.write(QStringLiteral("/groups/G_pub"), groupBytes({QStringLiteral("True"), QStringLiteral("True")}));
    int calls = 0;
    const GroupFileRead cut = ReadGroupFile(GroupFilePath(QStringLiteral("pub")), [&](int line, LineFault) {
        EXPECT_EQ(line, 3);
        ++calls;
        return false;
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(cut.LinesRead, 0x3u);
    EXPECT_FALSE(cut.Group.Permissions.PutFile);
    EXPECT_TRUE(cut.Group.RootFolder.isEmpty());
}
