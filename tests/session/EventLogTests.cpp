// The per-event logs: which files an event reaches, the rewritten texts,
// rotation and the console rows.
#include "tests/session/SessionFixture.h"

class EventLogs : public SessionTest {
protected:
    void log(const QString& user, const QString& group, const QString& address, const QString& text)
    {
        handlers.WriteLogs(user, group, address, text);
    }
};

TEST_F(EventLogs, AnonymousWithoutGroupIsPublic)
{
    log(QStringLiteral(" anonymous "), QString(), QStringLiteral("1.2.3.4"), QStringLiteral("LIST"));
    EXPECT_EQ(logFiles(), (QStringList{QStringLiteral("G_public.txt"), QStringLiteral("S_Log.txt"),
                                       QStringLiteral("U_anonymous.txt")}));
    const LogRecord r = records(QStringLiteral("/logs/S_Log.txt")).first();
    EXPECT_EQ(r.Date, QStringLiteral("12-08-2026"));
    EXPECT_EQ(r.Time, QStringLiteral("07:15:00"));
    EXPECT_EQ(r.User, QStringLiteral("anonymous"));
    EXPECT_EQ(r.Group, QStringLiteral("public"));
    EXPECT_EQ(r.ClientAddress, QStringLiteral("1.2.3.4"));
    EXPECT_EQ(home.read(QStringLiteral("/logs/U_anonymous.txt")), home.read(QStringLiteral("/logs/S_Log.txt")));
}

TEST_F(EventLogs, GroupLookedUpFromTheAccount)
{
    writeBob();
    log(QStringLiteral("bob"), QString(), QStringLiteral("1.2.3.4"), QStringLiteral("LIST"));
    EXPECT_EQ(logFiles(), (QStringList{QStringLiteral("G_staff.txt"), QStringLiteral("S_Log.txt"),
                                       QStringLiteral("U_bob.txt")}));
    EXPECT_EQ(records(QStringLiteral("/logs/G_staff.txt")).first().Group, QStringLiteral("staff"));
}

TEST_F(EventLogs, UnknownsReachOnlyTheServerLog)
{
    log(QString(), QString(), QString(), QStringLiteral("SYST"));
    const LogRecord r = records(QStringLiteral("/logs/S_Log.txt")).first();
    EXPECT_EQ(r.User, QStringLiteral("New Connection"));
    EXPECT_EQ(r.Group, QStringLiteral("Unknown"));
    EXPECT_EQ(r.ClientAddress, QStringLiteral("0.0.0.0"));
    ASSERT_EQ(doubles.consoleLog.rows.size(), 1);
    EXPECT_EQ(doubles.consoleLog.rows[0],
              QStringLiteral("12-08-2026\n07:15:00\n0.0.0.0\nNew connection\nSYST"));

    log(QStringLiteral("bob"), QStringLiteral("Unknown"), QString(), QStringLiteral("a"));
    log(QStringLiteral("UNKNOWN"), QStringLiteral("staff"), QString(), QStringLiteral("b"));
    log(QStringLiteral("bob"), QStringLiteral("unknown"), QString(), QStringLiteral("c"));
    EXPECT_EQ(logFiles(), (QStringList{QStringLiteral("G_staff.txt"), QStringLiteral("S_Log.txt")}));
    EXPECT_EQ(messages(QStringLiteral("/logs/G_staff.txt")), QStringList{QStringLiteral("b")});
}

TEST_F(EventLogs, ReplyLinesDroppedAndRewritten)
{
    for (const char* text : {"220 Enter login details", "220-Corvalen FTP Server v" QUAYPORT_VERSION_TEXT,
                             "230-Welcome", "221 Goodbye.", "230 Date 12/8/26, Time 7:15 AM."})
        log(QStringLiteral("bob"), QStringLiteral("staff"), QString(), QString::fromLatin1(text));
    EXPECT_TRUE(logFiles().isEmpty());
    EXPECT_TRUE(doubles.consoleLog.rows.isEmpty());

    log(QStringLiteral("bob"), QStringLiteral("staff"), QString(), QStringLiteral("230 Login successful."));
    log(QStringLiteral("bob"), QStringLiteral("staff"), QString(), QStringLiteral("PASS abcdef"));
    log(QStringLiteral("bob"), QStringLiteral("staff"), QString(), QStringLiteral("pass abcdef"));
    log(QStringLiteral("bob"), QStringLiteral("staff"), QString(), QStringLiteral("PASS"));
    log(QStringLiteral("bob"), QStringLiteral("staff"), QString(), QStringLiteral("221 User has disconnected"));
    EXPECT_EQ(messages(QStringLiteral("/logs/S_Log.txt")),
              (QStringList{QStringLiteral("230 bob login ok."), QStringLiteral("PASS ******"),
                           QStringLiteral("PASS ******"), QStringLiteral("PASS"),
                           QStringLiteral("221 User has disconnected")}));
    EXPECT_FALSE(doubles.consoleLog.rows.join(QLatin1Char('\n')).contains(QStringLiteral("abcdef")));
}

TEST_F(EventLogs, RotationPastTheLimitWithTheClocksStamp)
{
    const LogRecord sample{LogDate(now), LogTime(now), QStringLiteral("bob"), QStringLiteral("staff"),
                           QStringLiteral("1.2.3.4"), QStringLiteral("x")};
    const qint64 recordSize = FormatLogRecord(sample).size();
    home.write(QStringLiteral("/logs/S_Log.txt"), QByteArray(2'000'000 - recordSize, 'a'));
    home.write(QStringLiteral("/logs/U_bob.txt"), QByteArray(2'000'001, 'a'));
    log(QStringLiteral("bob"), QStringLiteral("staff"), QStringLiteral("1.2.3.4"), QStringLiteral("x"));
    EXPECT_EQ(QFileInfo(home.file(QStringLiteral("/logs/S_Log.txt"))).size(), 2'000'000);
    EXPECT_TRUE(home.exists(QStringLiteral("/logs/U_bob_20261208_071500.txt")));
    EXPECT_FALSE(home.exists(QStringLiteral("/logs/U_bob.txt")));

    // A log this event did not write is moved as well.
    home.write(QStringLiteral("/logs/G_other.txt"), QByteArray(2'000'001, 'a'));
    now = now.addSecs(1);
    log(QStringLiteral("carol"), QStringLiteral("other"), QStringLiteral("1.2.3.4"), QStringLiteral("x"));
    EXPECT_TRUE(home.exists(QStringLiteral("/logs/S_Log_20261208_071501.txt")));
    EXPECT_TRUE(home.exists(QStringLiteral("/logs/G_other_20261208_071501.txt")));
    now = now.addSecs(1);
    log(QStringLiteral("carol"), QStringLiteral("other"), QStringLiteral("1.2.3.4"), QStringLiteral("y"));
    EXPECT_EQ(messages(QStringLiteral("/logs/S_Log.txt")), QStringList{QStringLiteral("y")});
}

TEST_F(EventLogs, ConsoleKeepsAThousandRowsAndSelectsTheNewestFromFive)
{
    for (int i = 0; i < 4; ++i)
        log(QStringLiteral("bob"), QStringLiteral("staff"), QString(), QString::number(i));
    EXPECT_EQ(doubles.consoleLog.selected, -1);
    log(QStringLiteral("bob"), QStringLiteral("staff"), QString(), QStringLiteral("4"));
    EXPECT_EQ(doubles.consoleLog.selected, 4);
    for (int i = 5; i < 1000; ++i)
        doubles.consoleLog.rows.append(QString::number(i));
    log(QStringLiteral("bob"), QStringLiteral("staff"), QString(), QStringLiteral("last"));
    EXPECT_EQ(doubles.consoleLog.rows.size(), 1000);
    EXPECT_TRUE(doubles.consoleLog.rows.last().endsWith(QStringLiteral("\nlast")));
    EXPECT_EQ(doubles.consoleLog.selected, 999);
}

TEST_F(EventLogs, NamesThatAreNotOneFileNameWriteOnlyTheServerLog)
{
    QDir().mkpath(home.file(QStringLiteral("/logs/U_x")));
    log(QStringLiteral("x/../../escaped"), QStringLiteral("../staff"), QString(), QStringLiteral("m"));
    EXPECT_FALSE(home.exists(QStringLiteral("/escaped.txt")));
    EXPECT_FALSE(home.exists(QStringLiteral("/staff.txt")));
    EXPECT_EQ(messages(QStringLiteral("/logs/S_Log.txt")), QStringList{QStringLiteral("m")});
}
