// Login: accepted and refused logins, the session record, the root folders
// and the virtual folders; and the command notifications.
#include "core/AppFolder.h"
#include "core/Config.h"
#include "core/TextCipher.h"
#include "tests/session/SessionFixture.h"

#include <QFile>

namespace {

struct LoginResult {
    bool cancel = false;
    QString message;
    int treeUpdates = 0; // during the attempt
};

} // namespace

class Login : public SessionTest {
protected:
    LoginResult attempt(FakeFtpUser& user)
    {
        LoginResult r;
        const int before = console.userTreeUpdates;
        handlers.IFtpEngineNotify_UserLogin(user, r.cancel, r.message);
        r.treeUpdates = console.userTreeUpdates - before;
        return r;
    }
    // The one refusal reply and its log line.
    void expectRefused(FakeFtpUser& user, const LoginResult& r, const QString& text, bool disconnected)
    {
        EXPECT_TRUE(r.cancel);
        EXPECT_EQ(r.message, text);
        EXPECT_EQ(user.replies, QStringList{text});
        EXPECT_EQ(user.disconnects, disconnected ? 1 : 0);
        EXPECT_FALSE(record(user));
        EXPECT_EQ(r.treeUpdates, 0);
        EXPECT_GE(console.pointerRestores, 1);
        ASSERT_FALSE(records(QStringLiteral("/logs/S_Log.txt")).isEmpty());
        EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).last().Message, text);
    }
};

TEST_F(Login, AcceptedLoginBuildsTheSessionRecord)
{
    AccountRecord a = account(QStringLiteral("bob"));
    a.RootFolder = home.file(QStringLiteral("/root/bob"));
    QDir().mkpath(a.RootFolder);
    writeAccount(a);
    writeGroup(QStringLiteral("staff"), group());
    auto user = session(QStringLiteral("bob"));
    user->connectionIndex = 7;

    const LoginResult r = attempt(*user);
    EXPECT_FALSE(r.cancel);
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_TRUE(user->replies.isEmpty());
    EXPECT_EQ(user->disconnects, 0);
    const auto rec = record(*user);
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->Index, 7);
    EXPECT_EQ(rec->Group, QStringLiteral("staff"));
    EXPECT_EQ(rec->Description, QStringLiteral("Test account"));
    EXPECT_EQ(rec->Email, QStringLiteral("bob@example.org"));
    EXPECT_EQ(rec->RootFolder, home.file(QStringLiteral("/root/bob/")));
    EXPECT_EQ(rec->GRootFolder, home.file(QStringLiteral("/root/")));
    EXPECT_EQ(user->homeFolder, rec->RootFolder);
    EXPECT_EQ(rec->PendingOpCode, PendingOp::LoggedIn);
    EXPECT_EQ(rec->FilesSent + rec->BytesSent + rec->FilesDeleted + rec->BytesTransfered, 0);
    EXPECT_EQ(console.userTreeUpdates, 1);
    EXPECT_EQ(console.pointerRestores, 1);
    const QList<LogRecord> log = records(QStringLiteral("/logs/S_Log.txt"));
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(log[0].Message, QStringLiteral("230 bob login ok."));
    EXPECT_EQ(log[0].Group, QStringLiteral("staff"));
    EXPECT_EQ(messages(QStringLiteral("/logs/U_bob.txt")), QStringList{QStringLiteral("230 bob login ok.")});
    EXPECT_EQ(messages(QStringLiteral("/logs/G_staff.txt")), QStringList{QStringLiteral("230 bob login ok.")});
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

TEST_F(Login, EachFlagLandsInItsOwnField)
{
    // Three patterns from the bits of each flag's position: any two flags
    // differ in at least one of them, so a swap cannot go unseen.
    for (int bit = 0; bit < 3; ++bit) {
        SCOPED_TRACE(bit);
        const auto on = [bit](int position) { return ((position >> bit) & 1) != 0; };
        AccountRecord a = account(QStringLiteral("bob"));
        a.Permissions = {on(0), on(1), on(2), on(3), on(4), on(5), on(6), on(7)};
        writeAccount(a);
        GroupRecord g = group();
        g.Permissions = {!on(0), !on(1), !on(2), !on(3), !on(4), !on(5), !on(6), !on(7)};
        writeGroup(QStringLiteral("staff"), g);
        auto user = session(QStringLiteral("bob"));
        login(*user);
        const auto r = record(*user);
        const bool account[] = {r->Allow.ChangeDir, r->Allow.DeleteFile, r->Allow.Dir,       r->Allow.GetFile,
                                r->Allow.MakeDir,   r->Allow.PutFile,    r->Allow.RemoveDir, r->Allow.RenameFile};
        const bool groupFlags[] = {r->GAllow.ChangeDir, r->GAllow.DeleteFile, r->GAllow.Dir,       r->GAllow.GetFile,
                                   r->GAllow.MakeDir,   r->GAllow.PutFile,    r->GAllow.RemoveDir, r->GAllow.RenameFile};
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(account[i], on(i)) << i;
            EXPECT_EQ(groupFlags[i], !on(i)) << i;
        }
    }
}

TEST_F(Login, PasswordComparedIgnoringCaseAndBlanks)
{
    writeAccount(account(QStringLiteral("bob"), QStringLiteral("Secret")));
    writeGroup(QStringLiteral("staff"), group());
    auto user = session(QStringLiteral("bob"), QStringLiteral("  sECRET "));
    login(*user);

    // The account file matches the name in any letter case; line 10 decides.
    auto other = session(QStringLiteral("BOB"), QStringLiteral("secret"));
    login(*other);
}

TEST_F(Login, WrongPasswordKeepsTheSessionOpenWithKill)
{
    writeBob();
    auto user = session(QStringLiteral("bob"), QStringLiteral("wrong"));
    const LoginResult r = attempt(*user);
    expectRefused(*user, r, QStringLiteral("530 Invalid password."), false);
    EXPECT_TRUE(user->holdsKill());
    EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).last().Group, QStringLiteral("Unknown"));
    EXPECT_FALSE(home.exists(QStringLiteral("/logs/U_bob.txt")));
}

TEST_F(Login, MissingOrUndecipherablePasswordLineNeverLetsAnEmptyPassIn)
{
    writeGroup(QStringLiteral("staff"), group());
    QStringList lines = AccountFileLines(account(QStringLiteral("bob")));
    for (const QString& stored : {QString(), QStringLiteral("True"), ModMain::Encipher(QString())}) {
        SCOPED_TRACE(stored.toStdString());
        lines[10] = stored;
        ASSERT_TRUE(WriteLines(home.file(QStringLiteral("/users/U_bob")), lines));
        for (const QString& pass : {QString(), QStringLiteral("  ")}) {
            auto user = session(QStringLiteral("bob"), pass);
            const LoginResult r = attempt(*user);
            expectRefused(*user, r, QStringLiteral("530 Invalid password."), false);
        }
    }
    // An account file cut short before its password line.
    ASSERT_TRUE(WriteLines(home.file(QStringLiteral("/users/U_bob")), lines.mid(0, 10)));
    auto user = session(QStringLiteral("bob"), QString());
    const LoginResult r = attempt(*user);
    expectRefused(*user, r, QStringLiteral("530 Invalid password."), false);
}

TEST_F(Login, MissingAccountDeletesTheUserLogAndLogsUnderUnknown)
{
    home.write(QStringLiteral("/logs/U_carol.txt"), "old\r\n");
    auto user = session(QStringLiteral("carol"));
    const LoginResult r = attempt(*user);
    expectRefused(*user, r, QStringLiteral("530 No user account exists. Please try again."), true);
    EXPECT_FALSE(home.exists(QStringLiteral("/logs/U_carol.txt")));
    EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).last().Group, QStringLiteral("Unknown"));
}

TEST_F(Login, UnsafeNameIsAnUnknownAccountAndTouchesNoFile)
{
    writeBob();
    // With logs/U_ a folder, "/../S_Log" would name logs/S_Log.txt.
    QDir().mkpath(home.file(QStringLiteral("/logs/U_")));
    QDir().mkpath(home.file(QStringLiteral("/users/U_x")));
    home.write(QStringLiteral("/logs/S_Log.txt"), QByteArray());
    const QStringList before = logFiles();
    for (const QString& name : {QStringLiteral("/../S_Log"), QStringLiteral("x/../../users/U_bob"),
                                QStringLiteral(".."), QStringLiteral("bo*"), QStringLiteral("b?b"),
                                QStringLiteral("bob\r"), QStringLiteral("b\\ob"), QString()}) {
        SCOPED_TRACE(name.toStdString());
        auto user = session(name);
        const LoginResult r = attempt(*user);
        expectRefused(*user, r, QStringLiteral("530 No user account exists. Please try again."), true);
    }
    EXPECT_EQ(logFiles(), before);
    EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).size(), 8);
    EXPECT_TRUE(home.exists(QStringLiteral("/users/U_bob")));
}

TEST_F(Login, MismatchingUserIdClosesTheSession)
{
    AccountRecord a = account(QStringLiteral("bob"));
    writeAccount(a);
    a.UserId = QStringLiteral("alice");
    ASSERT_TRUE(WriteLines(AccountFilePath(QStringLiteral("bob")), AccountFileLines(a)));
    auto user = session(QStringLiteral("bob"));
    const LoginResult r = attempt(*user);
    expectRefused(*user, r, QStringLiteral("530 User name is different from configuration name."), true);
}

TEST_F(Login, AShortOrSpoiltAccountOrGroupFileGrantsNothing)
{
    // Lines kept of the account (36) and group (29, -1: no file) files, a spoilt account line, the
    // account's adopt and group-home flags, and the file and line the refusal names (none: accepted).
    const struct {
        const char* name;
        int accountLines, spoilt, groupLines;
        bool adopt, groupHome;
        const char* refused;
        int line;
    } rows[] = {
        {"bob", 12, 0, 29, false, false, "/users/U_bob", 15},
        {"bob", 15, 0, 29, false, false, "/users/U_bob", 16},
        {"bob", 36, 4, 29, false, false, "/users/U_bob", 4},
        {"anonymous", 12, 0, 29, false, false, "/users/U_anonymous", 15},
        {"bob", 36, 0, 8, false, true, "/groups/G_staff", 9},
        {"bob", 36, 0, 4, true, false, "/groups/G_staff", 5},
        {"bob", 36, 0, -1, false, true, "/groups/G_staff", 9},
        {"bob", 36, 0, 29, true, true, "", 0},
        // What the session does not take from the group may be missing.
        {"bob", 36, 0, 4, false, false, "", 0}, {"bob", 36, 0, -1, false, false, "", 0},
    };
    ModMain::ServerConfig.AllowAnonymous = true;
    QDir().mkpath(home.file(QStringLiteral("/root/bob")));
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        AccountRecord a = account(QString::fromLatin1(row.name));
        a.RootFolder = home.file(QStringLiteral("/root/bob"));
        a.AdoptGroupCMDs = row.adopt;
        a.UseGroupHomeDirectory = row.groupHome;
        QStringList lines = AccountFileLines(a).mid(0, row.accountLines);
        if (row.spoilt > 0)
            lines[row.spoilt - 1] = QStringLiteral("maybe");
        ASSERT_TRUE(WriteLines(AccountFilePath(a.UserId), lines));
        QFile::remove(GroupFilePath(QStringLiteral("staff")));
        if (row.groupLines >= 0)
            ASSERT_TRUE(WriteLines(GroupFilePath(QStringLiteral("staff")), 
                                   GroupFileLines(group(), false).mid(0, row.groupLines)));

        auto user = session(a.UserId);
        const LoginResult r = attempt(*user);
        if (*row.refused == 0) {
            const QString expected = home.file(row.groupHome ? QStringLiteral("/root/") : QStringLiteral("/root/bob/"));
            EXPECT_EQ(user->homeFolder, expected) << r.message.toStdString();
            continue;
        }
        expectRefused(*user, r, QStringLiteral("530 Invalid password."), false);
        EXPECT_TRUE(messages(QStringLiteral("/logs/S_Log.txt"))
                        .contains(QStringLiteral("*** LOGIN REFUSED: %1 cannot be read at line %2.")
                                      .arg(home.file(QString::fromLatin1(row.refused)))
                                      .arg(row.line)));
    }
}

TEST_F(Login, AnonymousRule)
{
    writeAccount(account(QStringLiteral("anonymous"), QStringLiteral("never compared"), QStringLiteral("public")));
    writeGroup(QStringLiteral("public"), group());

    auto refused = session(QStringLiteral("anonymous"), QStringLiteral("a@b.c"));
    expectRefused(*refused, attempt(*refused), QStringLiteral("530 anonymous not enabled at this site."), true);
    EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).last().Group, QStringLiteral("public"));
    EXPECT_FALSE(home.exists(QStringLiteral("/logs/anonymous_passwords.txt")));

    ModMain::ServerConfig.AllowAnonymous = true;
    auto user = session(QStringLiteral("AnonYmous"), QStringLiteral("me@example.org"));
    login(*user);
    EXPECT_EQ(record(*user)->Group, QStringLiteral("public"));

    // Surrounding blanks still make the anonymous user, but the file name is
    // built from the name as given.
    auto blank = session(QStringLiteral(" anonymous"), QStringLiteral("other@example.org"));
    expectRefused(*blank, attempt(*blank), QStringLiteral("530 No user account exists. Please try again."), true);
    EXPECT_EQ(fileLines(QStringLiteral("/logs/anonymous_passwords.txt")),
              (QStringList{QStringLiteral("me@example.org"), QStringLiteral("other@example.org")}));
}

TEST_F(Login, MissingRootFoldersAreRemapped)
{
    const QString appRoot = AppPath(QStringLiteral("/root"));
    ModMain::ServerConfig.Port = QStringLiteral("21");
    ModMain::ServerConfig.ServerRoot = home.file(QStringLiteral("/gone"));
    AccountRecord a = account(QStringLiteral("bob"));
    a.RootFolder = home.file(QStringLiteral("/nobob"));
    writeAccount(a);
    writeGroup(QStringLiteral("staff"), group());
    auto user = session(QStringLiteral("bob"));
    user->remoteAddress = QStringLiteral("10.0.0.9");
    login(*user);

    EXPECT_EQ(ModMain::ServerConfig.ServerRoot, appRoot);
    EXPECT_EQ(engine.DefaultRoot(), appRoot);
    ModMain::ServerConfig = {};
    ASSERT_TRUE(ModMain::LoadConfig());
    EXPECT_EQ(ModMain::ServerConfig.ServerRoot, appRoot);
    EXPECT_EQ(record(*user)->RootFolder, appRoot + QLatin1Char('/'));
    EXPECT_EQ(user->homeFolder, appRoot + QLatin1Char('/'));

    const QList<LogRecord> log = records(QStringLiteral("/logs/S_Log.txt"));
    ASSERT_EQ(log.size(), 7);
    EXPECT_EQ(log[0].Message, QStringLiteral("*** MISSING SERVER ROOT FOLDER: ") + home.file(QStringLiteral("/gone"))
                                  + QStringLiteral(" is missing."));
    EXPECT_EQ(log[1].Message, QStringLiteral("*** REMAPPING SERVER ROOT FOLDER TO: ") + appRoot);
    EXPECT_EQ(log[2].Message, QStringLiteral("*** THIS CHANGE HAS BEEN SAVED."));
    EXPECT_EQ(log[2].User, QStringLiteral("server"));
    EXPECT_EQ(log[3].Message, QStringLiteral("*** MISSING USER ROOT FOLDER: ") + home.file(QStringLiteral("/nobob/")));
    EXPECT_EQ(log[4].Message, QStringLiteral("*** MAPPING USER ROOT FOLDER TO: ") + appRoot);
    EXPECT_EQ(log[5].Message, QStringLiteral("*** WARNING *** Modify User root folder."));
    EXPECT_EQ(log[5].User, QStringLiteral("bob"));
    EXPECT_EQ(log[5].ClientAddress, QStringLiteral("10.0.0.9"));
    EXPECT_EQ(log[5].Group, QStringLiteral("staff"));
    EXPECT_EQ(doubles.consoleLog.rows.size(), 7);

    // The group's root decides when the account uses the group's home.
    a.UseGroupHomeDirectory = true;
    writeAccount(a);
    GroupRecord g = group();
    g.RootFolder = home.file(QStringLiteral("/nogroup/"));
    writeGroup(QStringLiteral("staff"), g);
    auto second = session(QStringLiteral("bob"));
    login(*second);
    EXPECT_EQ(messages(QStringLiteral("/logs/S_Log.txt")).mid(7, 3),
              (QStringList{QStringLiteral("*** MISSING GROUP ROOT FOLDER: ") + home.file(QStringLiteral("/nogroup/")),
                           QStringLiteral("*** MAPPING GROUP ROOT FOLDER TO: ") + appRoot,
                           QStringLiteral("*** WARNING *** Modify Group root folder.")}));
    EXPECT_EQ(second->homeFolder, appRoot + QLatin1Char('/'));

    // A blank root, the user's or the group's, is no folder: never the machine's root.
    for (const bool useGroup : {false, true}) {
        a.UseGroupHomeDirectory = useGroup;
        a.RootFolder = QStringLiteral("  ");
        writeAccount(a);
        g.RootFolder = QString();
        writeGroup(QStringLiteral("staff"), g);
        auto blank = session(QStringLiteral("bob"));
        login(*blank);
        EXPECT_EQ(blank->homeFolder, appRoot + QLatin1Char('/')) << useGroup;
        const QStringList logged = messages(QStringLiteral("/logs/S_Log.txt"));
        EXPECT_EQ(logged.at(logged.size() - 2),
                  useGroup ? QStringLiteral("*** WARNING *** Modify Group root folder.")
                           : QStringLiteral("*** WARNING *** Modify User root folder."));
    }
}

TEST_F(Login, ServerRootLosesItsFinalSlashAndStaysWhenPresent)
{
    ModMain::ServerConfig.ServerRoot = home.file(QStringLiteral("/root/"));
    writeBob();
    auto user = session(QStringLiteral("bob"));
    login(*user);
    EXPECT_EQ(ModMain::ServerConfig.ServerRoot, home.file(QStringLiteral("/root")));
    EXPECT_FALSE(home.exists(QStringLiteral("/Config.txt")));

    // The machine's root, as server, user or group root, is a folder like any other.
    ModMain::ServerConfig.ServerRoot = QStringLiteral("/");
    AccountRecord a = account(QStringLiteral("bob"));
    a.RootFolder = QStringLiteral("/");
    GroupRecord g = group();
    g.RootFolder = QStringLiteral("/");
    writeGroup(QStringLiteral("staff"), g);
    for (const bool useGroup : {false, true}) {
        a.UseGroupHomeDirectory = useGroup;
        writeAccount(a);
        auto rooted = session(QStringLiteral("bob"));
        login(*rooted);
        EXPECT_EQ(rooted->homeFolder, QStringLiteral("/")) << useGroup;
    }
    EXPECT_EQ(ModMain::ServerConfig.ServerRoot, QStringLiteral("/"));
    EXPECT_FALSE(home.exists(QStringLiteral("/Config.txt")));
    for (const QString& m : messages(QStringLiteral("/logs/S_Log.txt")))
        EXPECT_FALSE(m.contains(QStringLiteral("ROOT FOLDER"))) << m.toStdString();
}

class VirtualFolders : public Login {
protected:
    void writeMap(const QList<QStringList>& records, int dropLastLines = 0)
    {
        QStringList lines{ModMain::VersionText + QStringLiteral("*********************"),
                          QStringLiteral("**   Virtual Directory  **"), QStringLiteral("**   Configuration file **"),
                          QStringLiteral("**************************")};
        for (const QStringList& r : records)
            for (const QString& field : r)
                lines.append(ModMain::Encipher(field));
        lines = lines.mid(0, lines.size() - dropLastLines);
        ASSERT_TRUE(WriteLines(home.file(QStringLiteral("/virtmap.dat")), lines));
    }
};

TEST_F(VirtualFolders, OnlyFoldersInsideTheHomeAreAddedUnderTheirComputedPath)
{
    const QString srv = home.file(QStringLiteral("/srv/root"));
    QDir().mkpath(srv);
    AccountRecord a = account(QStringLiteral("bob"));
    a.RootFolder = srv;
    writeAccount(a);
    writeGroup(QStringLiteral("staff"), group());
    writeMap({{QStringLiteral("pub"), QStringLiteral("/stale"), home.file(QStringLiteral("/SRV/Root/pub")),
               QStringLiteral("/data/pub")},
              {QStringLiteral("top"), QStringLiteral("/"), srv, QStringLiteral("/data/top")},
              {QStringLiteral("deep"), QStringLiteral("/"), srv + QStringLiteral("/a/b/"), QStringLiteral("/data/deep")},
              {QStringLiteral("out"), QStringLiteral("/"), home.file(QStringLiteral("/srv/rootx")),
               QStringLiteral("/data/out")}});
    auto user = session(QStringLiteral("bob"));
    login(*user);
    const QList<VirtualFolder> folders = user->VirtualFolderList().items();
    ASSERT_EQ(folders.size(), 3);
    EXPECT_EQ(folders[0].Name, QStringLiteral("pub"));
    EXPECT_EQ(folders[0].VirtualPath, QStringLiteral("/pub/"));
    EXPECT_EQ(folders[0].RealFolder, QStringLiteral("/data/pub"));
    EXPECT_EQ(folders[1].VirtualPath, QStringLiteral("/"));
    EXPECT_EQ(folders[2].VirtualPath, QStringLiteral("/a/b/"));
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

TEST_F(VirtualFolders, ARecordCutShortIsReportedPerMissingLineAndDropped)
{
    writeBob();
    writeMap({{QStringLiteral("pub"), QStringLiteral("/"), home.file(QStringLiteral("/root/pub")), QStringLiteral("/d")},
              {QStringLiteral("half"), QStringLiteral("/"), home.file(QStringLiteral("/root/x")), QStringLiteral("/e")}},
             2);
    auto user = session(QStringLiteral("bob"));
    login(*user);
    ASSERT_EQ(user->VirtualFolderList().Count(), 1);
    EXPECT_EQ(doubles.errors->reports.size(), 2);
    EXPECT_TRUE(doubles.errors->reports[0].contains(QStringLiteral("in Quayport.frmMain.IFtpEngineNotify_UserLogin ")));
}

TEST_F(Login, UserCommandMapsGuestBeforeAndAfterAuthorisation)
{
    writeBob();
    auto user = session(QStringLiteral("bob"));
    QString command = QStringLiteral("user");
    QString parameters = QStringLiteral("GUEST");
    bool cancel = true;
    // Before login the alias is all that happens.
    handlers.IFtpEngineNotify_UserCommand(*user, command, parameters, cancel);
    EXPECT_EQ(parameters, QStringLiteral("anonymous"));
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(doubles.errors->reports.isEmpty());

    parameters = QStringLiteral("GUEST");
    login(*user);
    GroupRecord g = group();
    g.Permissions.Dir = false;
    g.RootFolder = QStringLiteral("/elsewhere");
    writeGroup(QStringLiteral("staff"), g);
    handlers.IFtpEngineNotify_UserCommand(*user, command, parameters, cancel);
    EXPECT_EQ(parameters, QStringLiteral("anonymous"));
    EXPECT_FALSE(cancel);
    EXPECT_EQ(ModMain::CurrentGroup.RootFolder, QStringLiteral("/elsewhere"));
    EXPECT_FALSE(ModMain::CurrentGroup.Permissions.Dir);

    parameters = QStringLiteral("guest2");
    handlers.IFtpEngineNotify_UserCommand(*user, command, parameters, cancel);
    EXPECT_EQ(parameters, QStringLiteral("guest2"));

    // Without a record the failure is reported and the command still goes on.
    auto killed = session(QStringLiteral("bob"));
    killed->state = FtpUser::Connected;
    killed->SetSessionData(QStringLiteral("kill"));
    parameters = QStringLiteral("guest");
    cancel = true;
    handlers.IFtpEngineNotify_UserCommand(*killed, command, parameters, cancel);
    EXPECT_EQ(parameters, QStringLiteral("anonymous"));
    EXPECT_FALSE(cancel);
    EXPECT_EQ(doubles.errors->reports.size(), 1);
}
