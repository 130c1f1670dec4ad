// Preparing the application folder on first and later starts, the remap of a
// missing server root, and the process as it is at a start.
#include "core/Accounts.h"
#include "core/Blowfish.h"
#include "core/Config.h"
#include "core/FileIdentity.h"
#include "core/Preparation.h"
#include "core/ProcessState.h"
#include "core/ProgramLifetime.h"
#include "core/StaleTemporaries.h"
#include "core/TextFile.h"
#include "tests/support/ProgramStart.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// The message lines of the server log's records.
QStringList logMessages(const TempAppFolder& home)
{
    QList<QByteArray> l = home.read(QStringLiteral("/logs/S_Log.txt")).split('\n');
    QStringList out;
    for (int i = 5; i < l.size(); i += 6)
        out.append(QString::fromLatin1(l[i].chopped(1)));
    return out;
}

QList<QByteArray> fileLines(const QByteArray& bytes)
{
    QList<QByteArray> l = bytes.split('\n');
    l.removeLast();
    for (auto& s : l)
        s.chop(1);
    return l;
}

} // namespace

TEST(Preparation, FirstStartInAnEmptyFolder)
{
    TempAppFolder home(false);
    InstalledDoubles doubles;
    ModMain::PrepareApplicationFolder();
    const QString p = home.path();
    EXPECT_EQ(logMessages(home),
              (QStringList{QStringLiteral("Creating ") + p + QStringLiteral("/logs"),
                           QStringLiteral("Creating ") + p + QStringLiteral("/groups"),
                           QStringLiteral("Creating ") + p + QStringLiteral("/users"),
                           QStringLiteral("Creating ") + p + QStringLiteral("/users/stats"),
                           QStringLiteral("Creating ") + p + QStringLiteral("/root"),
                           QStringLiteral("Creating ") + p + QStringLiteral("/users/U_anonymous"),
                           QStringLiteral("Creating ") + p + QStringLiteral("/groups/G_public")}));
    EXPECT_TRUE(ModMain::FirstRun);
    EXPECT_EQ(home.read(QStringLiteral("/logs/anonymous_passwords.txt")),
              QByteArray("*** " QUAYPORT_VERSION_TEXT " Email addresses from anonymous users ***\r\n"));

    const QList<QByteArray> account = fileLines(home.read(QStringLiteral("/users/U_anonymous")));
    ASSERT_EQ(account.size(), 36);
    EXPECT_EQ(account[0], QByteArray("True"));
    EXPECT_EQ(account[9], QByteArray("anonymous"));
    EXPECT_EQ(account[10], QByteArray("WGYrWFX1pK7pWj+YWD79Iw"));
    EXPECT_EQ(account[13], QByteArray("public"));
    EXPECT_EQ(account[14], (p + QStringLiteral("/root")).toLocal8Bit());
    EXPECT_EQ(account[16], QByteArray(QUAYPORT_VERSION_TEXT));
    EXPECT_EQ(account[35], QByteArray("<Reserved>"));

    const QList<QByteArray> group = fileLines(home.read(QStringLiteral("/groups/G_public")));
    ASSERT_EQ(group.size(), 29);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(group[i], QByteArray("True"));
    EXPECT_EQ(group[8], (p + QStringLiteral("/root")).toLocal8Bit());
    EXPECT_EQ(group[28], QByteArray("<Reserved>"));
    EXPECT_FALSE(home.exists(QStringLiteral("/Config.txt")));
}

TEST(Preparation, LaterStartTouchesNothingAndRecreatesOnlyWhatIsMissing)
{
    TempAppFolder home(false);
    InstalledDoubles doubles;
    ModMain::PrepareApplicationFolder();
    home.write(QStringLiteral("/users/U_anonymous"), "edited\r\n");
    home.write(QStringLiteral("/config.txt"), "x\r\n");
    QFile::remove(home.file(QStringLiteral("/groups/G_public")));
    const int before = logMessages(home).size();

    StartLikeTheProgram(); // a later start of the program
    ModMain::PrepareApplicationFolder();
    EXPECT_FALSE(ModMain::FirstRun);
    EXPECT_EQ(home.read(QStringLiteral("/users/U_anonymous")), QByteArray("edited\r\n"));
    const QStringList after = logMessages(home);
    ASSERT_EQ(after.size(), before + 1);
    EXPECT_EQ(after.last(), QStringLiteral("Creating ") + home.path() + QStringLiteral("/groups/G_public"));
    EXPECT_EQ(fileLines(home.read(QStringLiteral("/logs/anonymous_passwords.txt"))).size(), 1);
}

TEST(Preparation, LaterStartRemovesOnlyLeftoverTemporariesAndLogsEach)
{
    TempAppFolder home(false);
    InstalledDoubles doubles;
    ModMain::PrepareApplicationFolder();
    AccountRecord john;
    john.UserId = QStringLiteral("john.doe123");
    john.Group = QStringLiteral("staff");
    ASSERT_TRUE(WriteLines(AccountFilePath(john.UserId), AccountFileLines(john)));
    const QStringList administrators{"/Config.txt.backup", "/users/U_bob.backup", "/groups/G_staff.AAAAAA",
                                     "/users/stats/bob.Get_File_Count.txt.backup",
                                     "/users/stats/.bob.Get_File_Count.txt.swap"};
    for (const QString& tail : administrators)
        home.write(tail, "kept");
    const QStringList leftovers{RewriteTemporaryPath(home.file(QStringLiteral("/Config.txt"))),
                                RewriteTemporaryPath(AccountFilePath(john.UserId))};
    for (const QString& path : leftovers)
        home.write(path.mid(home.path().size()), "half");
    const int before = logMessages(home).size();

    StartLikeTheProgram(); // a later start of the program
    ModMain::PrepareApplicationFolder();
    for (const QString& tail : administrators)
        EXPECT_EQ(home.read(tail), QByteArray("kept")) << tail.toStdString();
    for (const QString& path : leftovers)
        EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
    QStringList logged = logMessages(home).mid(before);
    logged.sort();
    QStringList expected;
    for (const QString& path : leftovers)
        expected.append(QStringLiteral("Removed leftover temporary ") + path);
    expected.sort();
    EXPECT_EQ(logged, expected);
    EXPECT_EQ(ModMain::GetUserGroup(john.UserId), QStringLiteral("staff"));
    EXPECT_EQ(ReadAccountFile(AccountFilePath(john.UserId), [](int, LineFault) { return true; }).Account.UserId,
              john.UserId);
}

TEST(Preparation, MissingServerRootIsRemappedSavedAndHandedOn)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    ModMain::ServerConfig.Port = QStringLiteral("21");
    ModMain::ServerConfig.ServerRoot = home.path() + QStringLiteral("/gone");
    ASSERT_TRUE(ModMain::SaveConfig());
    ModMain::ServerConfig = {};

    QString handed;
    ModMain::LoadSettingsAndRemapRoot([&](const QString& root) { handed = root; });
    const QString root = home.path() + QStringLiteral("/root");
    EXPECT_EQ(handed, root);
    ASSERT_EQ(doubles.consoleLog.rows.size(), 2);
    EXPECT_TRUE(doubles.consoleLog.rows[0].endsWith(QStringLiteral("*** WARNING *** ") + home.path()
                                                    + QStringLiteral("/gone is missing.")));
    EXPECT_TRUE(doubles.consoleLog.rows[1].endsWith(QStringLiteral("*** REMAPPING SERVER ROOT FOLDER TO: ") + root));
    ModMain::ServerConfig = {};
    ASSERT_TRUE(ModMain::LoadConfig());
    EXPECT_EQ(ModMain::ServerConfig.ServerRoot, root);
}

TEST(Preparation, PresentRootLosesOnlyItsTrailingSlashInMemory)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    // stored root, the root in memory afterwards; the machine's root is kept as it is
    const QList<std::pair<QString, QString>> roots{
        {home.path() + QStringLiteral("/root/"), home.path() + QStringLiteral("/root")},
        {QStringLiteral("/"), QStringLiteral("/")},
    };
    for (const auto& [stored, inMemory] : roots) {
        ModMain::ServerConfig.ServerRoot = stored;
        ASSERT_TRUE(ModMain::SaveConfig());
        const QByteArray saved = home.read(QStringLiteral("/Config.txt"));
        bool remapped = false;
        ModMain::LoadSettingsAndRemapRoot([&](const QString&) { remapped = true; });
        EXPECT_FALSE(remapped) << stored.toStdString();
        EXPECT_EQ(ModMain::ServerConfig.ServerRoot, inMemory);
        EXPECT_EQ(home.read(QStringLiteral("/Config.txt")), saved);
        EXPECT_TRUE(doubles.consoleLog.rows.isEmpty());
    }

    // First run: nothing is loaded.
    ModMain::ServerConfig = {};
    ModMain::FirstRun = true;
    ModMain::LoadSettingsAndRemapRoot({});
    EXPECT_TRUE(ModMain::ServerConfig.ServerRoot.isEmpty());
}

// One call puts the process back as at its start: the documented values, the
// installed services and what core keeps beside them.
TEST(ProcessState, OneResetPutsBackValuesServicesKeyAndClock)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    ModMain::ServerConfig.Port = QStringLiteral("21");
    ModMain::VersionText = QStringLiteral("0.0.1");
    ModMain::FirstRun = true;
    ModMain::CurrentAccount.Group = QStringLiteral("staff");
    ModMain::CurrentGroup.Permissions.Dir = true;
    SetProgramTitle(QStringLiteral("Scrollbook"));
    QList<int> ends;
    ProgramLifetime::SetTerminator([&ends](int status) { ends.append(status); });
    ProgramLifetime::End(3);
    SetRememberClock([] { return timespec{1, 0}; });
    ASSERT_FALSE(modBlowFish::KeyHexText().isEmpty());

    ModMain::ResetProcessState();
    EXPECT_EQ(ModMain::ServerConfig.Port, QString());
    EXPECT_EQ(ModMain::VersionText, QStringLiteral(QUAYPORT_VERSION_TEXT));
    EXPECT_FALSE(ModMain::FirstRun);
    EXPECT_EQ(ModMain::CurrentAccount.Group, QString());
    EXPECT_FALSE(ModMain::CurrentGroup.Permissions.Dir);
    EXPECT_EQ(ProgramTitle(), QStringLiteral("Quayport"));
    EXPECT_FALSE(ProgramLifetime::Ending());
    EXPECT_EQ(ProgramLifetime::ExitStatus(), 0);
    EXPECT_NE(RememberClockNow().tv_sec, 1);
    EXPECT_TRUE(modBlowFish::KeyHexText().isEmpty());
    EXPECT_EQ(ConsoleLog(), nullptr);
    EXPECT_EQ(InstallErrorReporter(nullptr), nullptr);
    EXPECT_EQ(InstallMessageService(nullptr), nullptr);
    // The default terminator: no event loop runs, so nothing ends.
    ProgramLifetime::End(4);
    EXPECT_EQ(ends, QList<int>{3});
    ModMain::ResetProcessState();
}
