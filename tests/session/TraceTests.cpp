// Protocol trace lines: what is logged, masked, refused and counted.
#include "session/Greetings.h"
#include "tests/session/SessionFixture.h"

class Trace : public SessionTest {
protected:
    void trace(FakeFtpUser& user, const QString& line) { handlers.IFtpEngineNotify_Debug(user, line); }
    QString lastLogged() const
    {
        const QList<LogRecord> log = records(QStringLiteral("/logs/S_Log.txt"));
        return log.isEmpty() ? QString() : log.last().Message;
    }
    std::unique_ptr<FakeFtpUser> loggedInBob()
    {
        writeBob();
        auto user = session(QStringLiteral("bob"));
        login(*user);
        trace(*user, QStringLiteral("230 Date today")); // the login reply takes the login's code
        return user;
    }
};

TEST_F(Trace, LinesBeforeAuthorisationGoStraightToTheLogs)
{
    writeBob();
    auto user = session(QStringLiteral("bob"));
    trace(*user, QStringLiteral(" USER bob "));
    trace(*user, QStringLiteral("NOOP"));
    trace(*user, QStringLiteral("PASS abcdef"));
    const QList<LogRecord> log = records(QStringLiteral("/logs/U_bob.txt"));
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0].Message, QStringLiteral("USER bob"));
    EXPECT_EQ(log[0].Group, QStringLiteral("staff"));
    EXPECT_EQ(log[1].Message, QStringLiteral("NOOP"));
    EXPECT_EQ(log[2].Message, QStringLiteral("PASS ******"));

    // No user name yet: logged as a new connection.
    auto fresh = session(QString());
    fresh->state = FtpUser::Connected;
    trace(*fresh, QStringLiteral("SYST"));
    EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).last().User, QStringLiteral("New Connection"));
}

TEST_F(Trace, NoopLinesAreSkippedAndARefusalSurvivesThem)
{
    auto user = loggedInBob();
    const int before = records(QStringLiteral("/logs/S_Log.txt")).size();
    record(*user)->PendingOpCode = PendingOp::Refused;
    for (const char* line : {"NOOP", "noop", "nOoP x", "200 NOOP command successful.", "200 noop"})
        trace(*user, QString::fromLatin1(line));
    EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).size(), before);
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::Refused);
    trace(*user, QStringLiteral("550 Failed to change directory."));
    EXPECT_EQ(lastLogged(), QStringLiteral("550 Access denied"));
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::None);

    // After a refused listing the end reply is logged as sent.
    record(*user)->PendingOpCode = PendingOp::Refused;
    record(*user)->ListingEndText = QStringLiteral("550 Access denied.");
    trace(*user, QStringLiteral("550 Access denied."));
    EXPECT_EQ(lastLogged(), QStringLiteral("550 Access denied."));
}

// Whether a refusal's reply is logged as sent depends on how the session's
// own last listing ended, not on the listing another session had last.
TEST_F(Trace, ARefusalIsJudgedByTheSessionsOwnListing)
{
    auto bob = loggedInBob();
    auto other = session(QStringLiteral("bob"), QStringLiteral("secret"), 2);
    login(*other);
    trace(*other, QStringLiteral("230 Date today"));
    const auto endListing = [&](FakeFtpUser& user, bool allowed) {
        record(user)->Allow.Dir = record(user)->GAllow.Dir = allowed;
        QString entry = QStringLiteral("entry");
        handlers.IFtpEngineNotify_DirItem(user, entry, 0);
    };
    const struct {
        bool bobListed;  // bob's own listing was granted
        bool otherListed; // the other session's listing, which came after it
        const char* logged;
    } cases[] = {
        {false, true, "550 Access denied."},
        {true, false, "550 Access denied"},
    };
    for (const auto& c : cases) {
        endListing(*bob, c.bobListed);
        endListing(*other, c.otherListed);
        record(*bob)->PendingOpCode = PendingOp::Refused;
        trace(*bob, QStringLiteral("550 Access denied."));
        EXPECT_EQ(lastLogged(), QString::fromLatin1(c.logged));
        EXPECT_EQ(record(*bob)->PendingOpCode, PendingOp::None);
    }
}

TEST_F(Trace, SessionsWithoutRecordOrNamedNewConnectionLogNothing)
{
    writeBob();
    auto killed = session(QStringLiteral("bob"));
    killed->state = FtpUser::Connected;
    killed->SetSessionData(QStringLiteral("kill"));
    trace(*killed, QStringLiteral("LIST"));
    EXPECT_FALSE(home.exists(QStringLiteral("/logs/S_Log.txt")));

    writeAccount(account(QStringLiteral("New Connection")));
    auto odd = session(QStringLiteral("New Connection"));
    login(*odd);
    trace(*odd, QStringLiteral("LIST"));
    EXPECT_EQ(messages(QStringLiteral("/logs/S_Log.txt")), QStringList{QStringLiteral("230 New Connection login ok.")});
}

TEST_F(Trace, EmptyPassAfterLoginIsRefusedAndClosed)
{
    auto user = loggedInBob();
    trace(*user, QStringLiteral("PASS"));
    EXPECT_EQ(user->replies, QStringList{QStringLiteral("530 Empty password not allowed.")});
    EXPECT_EQ(user->disconnects, 1);
    const QList<LogRecord> log = records(QStringLiteral("/logs/S_Log.txt"));
    EXPECT_EQ(log.last().Message, QStringLiteral("530 Empty password not allowed."));
    EXPECT_EQ(log.last().Group, QStringLiteral("Unknown"));
}

TEST_F(Trace, PassArgumentIsMaskedWhateverItsLetterCase)
{
    auto user = loggedInBob();
    trace(*user, QStringLiteral("PASS abcdef"));
    EXPECT_EQ(lastLogged(), QStringLiteral("PASS ******"));
    trace(*user, QStringLiteral("pass abcdef"));
    EXPECT_EQ(lastLogged(), QStringLiteral("PASS ******"));
    for (const QString& file : logFiles())
        EXPECT_FALSE(home.read(QStringLiteral("/logs/") + file).contains("abcdef")) << file.toStdString();
}

TEST_F(Trace, QuitSetsItsCodeAndIsLogged)
{
    auto user = loggedInBob();
    trace(*user, QStringLiteral("quit"));
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::Quit);
    EXPECT_EQ(lastLogged(), QStringLiteral("quit"));
}

TEST_F(Trace, TheFirstLineAfterLoginClearsTheLoginCode)
{
    writeBob();
    auto user = session(QStringLiteral("bob"));
    login(*user);
    ASSERT_EQ(record(*user)->PendingOpCode, PendingOp::LoggedIn);
    trace(*user, QStringLiteral("SYST"));
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::None);
    EXPECT_EQ(lastLogged(), QStringLiteral("SYST"));
}

TEST_F(Trace, AccountsNamedLikeTheSharedLogsLeaveThemIntact)
{
    writeGroup(QStringLiteral("staff"), group());
    home.write(QStringLiteral("/logs/anonymous_passwords.txt"),
               "*** " QUAYPORT_VERSION_TEXT " Email addresses from anonymous users ***\r\n");
    for (const QString& name : {QStringLiteral("S_Log"), QStringLiteral("anonymous_passwords")}) {
        SCOPED_TRACE(name.toStdString());
        writeAccount(account(name));
        auto user = session(name);
        login(*user);
        const QByteArray before = home.read(QStringLiteral("/logs/") + name + QStringLiteral(".txt"));
        ASSERT_FALSE(before.isEmpty());
        trace(*user, QStringLiteral("SYST"));
        trace(*user, QStringLiteral("215 UNIX Type: L8"));
        EXPECT_TRUE(home.read(QStringLiteral("/logs/") + name + QStringLiteral(".txt")).startsWith(before));
    }
}

TEST_F(Trace, NoAccountReplyAfterAuthorisationStartsTheUserLogAfresh)
{
    auto user = loggedInBob();
    ASSERT_GE(records(QStringLiteral("/logs/U_bob.txt")).size(), 1);
    trace(*user, QStringLiteral("530 No user account exists. Please try again."));
    EXPECT_EQ(messages(QStringLiteral("/logs/U_bob.txt")),
              QStringList{QStringLiteral("530 No user account exists. Please try again.")});
}

class DeleteCount : public Trace {
protected:
    void deleteFile(FakeFtpUser& user, qint64 size)
    {
        home.write(QStringLiteral("/root/f.bin"), QByteArray(size, 'x'));
        user.physicalPaths[QStringLiteral("f.bin")] = home.file(QStringLiteral("/root/f.bin"));
        bool cancel = false;
        QString message;
        QString name = QStringLiteral("f.bin");
        handlers.IFtpEngineNotify_DeleteFile(user, name, cancel, message);
        ASSERT_FALSE(cancel);
    }
    QStringList count() const { return fileLines(QStringLiteral("/users/stats/bob.Del_File_Count.txt")); }
    QStringList size() const { return fileLines(QStringLiteral("/users/stats/bob.Del_File_Size.txt")); }
};

TEST_F(DeleteCount, CountedOnlyAfterASuccessfulReplyForANonEmptyFile)
{
    auto user = loggedInBob();
    deleteFile(*user, 1500);
    trace(*user, QStringLiteral("550 Permission denied."));
    EXPECT_FALSE(home.exists(QStringLiteral("/users/stats/bob.Del_File_Count.txt")));
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::None);

    deleteFile(*user, 0);
    trace(*user, QStringLiteral("250 DELE command successful."));
    EXPECT_FALSE(home.exists(QStringLiteral("/users/stats/bob.Del_File_Count.txt")));

    deleteFile(*user, 1500);
    trace(*user, QStringLiteral("250 DELE command successful."));
    EXPECT_EQ(lastLogged(), QStringLiteral("250 DELE command successful."));
    EXPECT_EQ(count(), QStringList{QStringLiteral("1")});
    EXPECT_EQ(size(), QStringList{QStringLiteral("1500")});
    EXPECT_EQ(record(*user)->FilesDeleted, 1);
    EXPECT_EQ(record(*user)->BytesDeleted, 1500);
    EXPECT_EQ(record(*user)->PendingFileSize, 0);

    deleteFile(*user, 500);
    trace(*user, QStringLiteral("250 DELE command successful."));
    EXPECT_EQ(count(), QStringList{QStringLiteral("2")});
    EXPECT_EQ(size(), QStringList{QStringLiteral("2000")});
    EXPECT_EQ(record(*user)->FilesDeleted, 2);
    EXPECT_EQ(record(*user)->BytesDeleted, 2000);
}

TEST_F(DeleteCount, ExistingAndDamagedCounterFiles)
{
    auto user = loggedInBob();
    home.write(QStringLiteral("/users/stats/bob.Del_File_Count.txt"), "41\r\n");
    home.write(QStringLiteral("/users/stats/bob.Del_File_Size.txt"), " 3000000000 \r\n");
    deleteFile(*user, 100);
    trace(*user, QStringLiteral("250 ok"));
    EXPECT_EQ(count(), QStringList{QStringLiteral("42")});
    EXPECT_EQ(size(), QStringList{QStringLiteral("3000000100")});
    EXPECT_EQ(record(*user)->FilesDeleted, 1);

    // A file whose first line is no number counts as 0 and is rewritten.
    home.write(QStringLiteral("/users/stats/bob.Del_File_Count.txt"), "many\r\n");
    home.write(QStringLiteral("/users/stats/bob.Del_File_Size.txt"), "");
    deleteFile(*user, 100);
    trace(*user, QStringLiteral("250 ok"));
    EXPECT_EQ(count(), QStringList{QStringLiteral("1")});
    EXPECT_EQ(size(), QStringList{QStringLiteral("100")});
    EXPECT_EQ(record(*user)->FilesDeleted, 2);
    EXPECT_EQ(record(*user)->BytesDeleted, 200);
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

TEST_F(Trace, TheGreetingsOwnLinesAreNoEvents)
{
    ModMain::ServerConfig.Greeting = QStringLiteral("Welcome\r\n\r\n  to us");
    ModMain::DefineGreetings(engine);
    auto fresh = session(QString());
    for (const QString& line : engine.ReplyText(11).split(QStringLiteral("\r\n")))
        trace(*fresh, line);
    EXPECT_TRUE(records(QStringLiteral("/logs/S_Log.txt")).isEmpty());

    // The same text from a client that has given its name is an event.
    auto named = session(QStringLiteral("bob"));
    trace(*named, QStringLiteral("    Welcome"));
    EXPECT_EQ(lastLogged(), QStringLiteral("Welcome"));
}
