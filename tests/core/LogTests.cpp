// The server log, its record format and rotation, the console rows and the
// anonymous log.
#include "core/LogRecord.h"
#include "core/ServerLog.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"

#include <QDate>
#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QList<QByteArray> lines(const QByteArray& bytes)
{
    QList<QByteArray> out = bytes.split('\n');
    out.removeLast();
    for (auto& l : out)
        l.chop(1);
    return out;
}

} // namespace

TEST(ServerLog, RecordBytesWithSubstitutedFields)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    const QDate today = QDate::currentDate();
    ASSERT_TRUE(ModMain::WriteServerLog(QString(), QString(), QStringLiteral("  "), QStringLiteral("hello"), false));
    const QList<QByteArray> l = lines(home.read(QStringLiteral("/logs/S_Log.txt")));
    ASSERT_EQ(l.size(), 6);
    EXPECT_EQ(l[0], today.toString(QStringLiteral("MM-dd-yyyy")).toLatin1());
    EXPECT_TRUE(QTime::fromString(QString::fromLatin1(l[1]), QStringLiteral("HH:mm:ss")).isValid());
    EXPECT_EQ(l[2], QByteArray("New Connection"));
    EXPECT_EQ(l[3], QByteArray("Unknown"));
    EXPECT_EQ(l[4], QByteArray("0.0.0.0"));
    EXPECT_EQ(l[5], QByteArray("hello"));
    EXPECT_TRUE(home.read(QStringLiteral("/logs/S_Log.txt")).endsWith("hello\r\n"));
    EXPECT_TRUE(doubles.consoleLog.rows.isEmpty());
}

TEST(ServerLog, GroupLookupUnknownUserAndLineBreaks)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    QStringList account(36, QStringLiteral("x"));
    account[13] = QStringLiteral("staff");
    QByteArray bytes;
    for (const QString& l : account)
        bytes += l.toLatin1() + "\r\n";
    home.write(QStringLiteral("/users/U_bob"), bytes);

    EXPECT_FALSE(ModMain::WriteServerLog(QString(), QStringLiteral("  UnKnown "), QString(), QStringLiteral("m"), true));
    EXPECT_FALSE(home.exists(QStringLiteral("/logs/S_Log.txt")));
    EXPECT_TRUE(doubles.consoleLog.rows.isEmpty());

    ModMain::WriteServerLog(QString(), QStringLiteral("bob"), QStringLiteral("1.2.3.4"), QStringLiteral("a\r\nb"), false);
    ModMain::WriteServerLog(QStringLiteral("server"), QStringLiteral("x\ny"), QStringLiteral("1.2.3.4"),
                            QStringLiteral("m"), false);
    const QList<QByteArray> l = lines(home.read(QStringLiteral("/logs/S_Log.txt")));
    ASSERT_EQ(l.size(), 12); // line breaks inside fields never add lines
    EXPECT_EQ(l[3], QByteArray("staff"));
    EXPECT_EQ(l[5], QByteArray("a  b"));
    EXPECT_EQ(l[8], QByteArray("x y"));
    EXPECT_EQ(l[9], QByteArray("server"));
}

TEST(ServerLog, RotationAtTheSizeLimit)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    home.write(QStringLiteral("/logs/S_Log.txt"), QByteArray(2'000'000, 'a'));
    ModMain::WriteServerLog(QStringLiteral("server"), QStringLiteral("server"), QStringLiteral("server"),
                            QStringLiteral("one"), false);
    EXPECT_GT(home.read(QStringLiteral("/logs/S_Log.txt")).size(), 2'000'000);
    EXPECT_EQ(QDir(home.file(QStringLiteral("/logs"))).entryList(QDir::Files).size(), 1);

    ModMain::WriteServerLog(QStringLiteral("server"), QStringLiteral("server"), QStringLiteral("server"),
                            QStringLiteral("two"), false);
    const QStringList files = QDir(home.file(QStringLiteral("/logs"))).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0], QStringLiteral("S_Log.txt"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^S_Log\\.txt_\\d{8}_\\d{6}\\.txt$")).match(files[1]).hasMatch())
        << files[1].toStdString();
    EXPECT_TRUE(home.read(QStringLiteral("/logs/S_Log.txt")).endsWith("two\r\n"));
    EXPECT_EQ(lines(home.read(QStringLiteral("/logs/S_Log.txt"))).size(), 6);
}

TEST(ServerLog, UnwritableLogReportsOnceAndReturnsFalse)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    QDir(home.path()).mkpath(QStringLiteral("logs/S_Log.txt")); // a folder where the file should be
    EXPECT_FALSE(ModMain::WriteServerLog(QStringLiteral("server"), QStringLiteral("server"), QStringLiteral("server"),
                                         QStringLiteral("m"), true));
    ASSERT_EQ(doubles.errors->reports.size(), 1);
    EXPECT_TRUE(doubles.errors->reports[0].contains(QStringLiteral("in Quayport.ModMain.WriteServerLog at line 5")));
    EXPECT_EQ(doubles.consoleLog.rows.size(), 1); // the console still shows the event
}

TEST(ServerLog, ConsoleRowsKeepAThousandAndSelectTheNewest)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    for (int i = 1; i <= 4; ++i)
        ModMain::WriteServerLog(QStringLiteral("server"), QString(), QString(), QString::number(i), true);
    EXPECT_EQ(doubles.consoleLog.selected, -1);
    const QStringList first = doubles.consoleLog.rows[0].split(QLatin1Char('\n'));
    ASSERT_EQ(first.size(), 5);
    EXPECT_EQ(first[2], QString()); // the row shows address and user as given
    EXPECT_EQ(first[3], QString());
    EXPECT_EQ(first[4], QStringLiteral("1"));

    ModMain::WriteServerLog(QStringLiteral("server"), QString(), QString(), QStringLiteral("5"), true);
    EXPECT_EQ(doubles.consoleLog.selected, 4);
    for (int i = 6; i <= 1001; ++i)
        AppendConsoleRow(doubles.consoleLog, QString::number(i), 4);
    EXPECT_EQ(doubles.consoleLog.RowCount(), 1000);
    EXPECT_TRUE(doubles.consoleLog.rows[0].endsWith(QStringLiteral("\n2")));
    EXPECT_EQ(doubles.consoleLog.selected, 999);
}

TEST(AnonymousLog, AddsNewAddressesOnce)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    ModMain::WriteAnonymousLog(QStringLiteral("Me@Example.com"));
    EXPECT_EQ(home.read(QStringLiteral("/logs/anonymous_passwords.txt")), QByteArray("Me@Example.com\r\n"));
    ModMain::WriteAnonymousLog(QStringLiteral("  me@example.COM "));
    ModMain::WriteAnonymousLog(QStringLiteral(" new@x "));
    ModMain::WriteAnonymousLog(QString());
    ModMain::WriteAnonymousLog(QStringLiteral("  "));
    EXPECT_EQ(home.read(QStringLiteral("/logs/anonymous_passwords.txt")),
              QByteArray("Me@Example.com\r\n new@x \r\n\r\n"));
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}
