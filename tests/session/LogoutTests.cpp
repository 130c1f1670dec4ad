// Logout: trend records per session and per day, the disconnection line and
// the released record.
#include "session/TrendFiles.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/Unprivileged.h"

#include <QFile>

namespace {

QStringList Numbers(std::initializer_list<qint64> values)
{
    QStringList out;
    for (qint64 v : values)
        out.append(QString::number(v));
    return out;
}

} // namespace

class Logout : public SessionTest {
protected:
    // A session of bob with the given counters, in the record's own order:
    // sent, received, transferred, deleted files, then bytes the same way.
    std::unique_ptr<FakeFtpUser> bobWith(qint64 files, qint64 bytes)
    {
        auto user = session(QStringLiteral("bob"));
        auto r = std::make_shared<UserObj>();
        r->Group = QStringLiteral("staff");
        r->FilesSent = files;
        r->FilesReceived = files + 1;
        r->FilesTransfered = files + 2;
        r->FilesDeleted = files + 3;
        r->BytesSent = bytes;
        r->BytesReceived = bytes + 1;
        r->BytesTransfered = bytes + 2;
        r->BytesDeleted = bytes + 3;
        user->SetSessionData(std::static_pointer_cast<SessionObject>(r));
        user->state = FtpUser::Connected;
        return user;
    }
    QString stats(const QString& name) const { return QStringLiteral("/users/stats/") + name; }
};

TEST_F(Logout, TrendRecordsPerSessionAndPerDay)
{
    ConsoleState::SelectedItem = QStringLiteral("@1");
    auto first = bobWith(1, 100);
    handlers.IFtpEngineNotify_UserLogout(*first);

    // Deleted, received, sent, transferred; counts then bytes.
    const QStringList expected = Numbers({4, 2, 1, 3, 103, 101, 100, 102});
    EXPECT_EQ(fileLines(stats(QStringLiteral("Trend_bob.txt"))), expected);
    EXPECT_EQ(fileLines(stats(QStringLiteral("Trend_User_Day_bob.2026342.txt"))), expected);
    EXPECT_EQ(fileLines(stats(QStringLiteral("Trend_Group_Day_staff.2026342.txt"))), expected);
    EXPECT_TRUE(first->holdsNothing());
    EXPECT_TRUE(ConsoleState::SelectedItem.isEmpty());
    EXPECT_EQ(console.userTreeUpdates, 1);
    EXPECT_GE(console.pointerRestores, 1);
    const LogRecord last = records(QStringLiteral("/logs/S_Log.txt")).last();
    EXPECT_EQ(last.Message, QStringLiteral("221 User has disconnected"));
    EXPECT_EQ(last.Group, QStringLiteral("staff"));

    auto second = bobWith(10, Q_INT64_C(5000000000));
    handlers.IFtpEngineNotify_UserLogout(*second);
    EXPECT_EQ(fileLines(stats(QStringLiteral("Trend_bob.txt"))).size(), 16);
    EXPECT_EQ(fileLines(stats(QStringLiteral("Trend_User_Day_bob.2026342.txt"))),
              Numbers({17, 13, 11, 15, Q_INT64_C(5000000106), Q_INT64_C(5000000102), Q_INT64_C(5000000100),
                       Q_INT64_C(5000000104)}));
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

TEST_F(Logout, SessionWithoutTransfersStillWritesZeros)
{
    auto user = bobWith(0, 0);
    auto r = record(*user);
    *r = UserObj();
    r->Group = QStringLiteral("staff");
    handlers.IFtpEngineNotify_UserLogout(*user);
    EXPECT_EQ(fileLines(stats(QStringLiteral("Trend_bob.txt"))), Numbers({0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(fileLines(stats(QStringLiteral("Trend_Group_Day_staff.2026342.txt"))), Numbers({0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Logout, EmptyGroupAndBlankUserSkipTheirDayFiles)
{
    auto user = bobWith(1, 1);
    record(*user)->Group = QString();
    handlers.IFtpEngineNotify_UserLogout(*user);
    EXPECT_FALSE(home.exists(stats(QStringLiteral("Trend_Group_Day_.2026342.txt"))));

    auto blanks = bobWith(1, 1);
    record(*blanks)->Group = QStringLiteral("  ");
    handlers.IFtpEngineNotify_UserLogout(*blanks);
    EXPECT_TRUE(home.exists(stats(QStringLiteral("Trend_Group_Day_  .2026342.txt"))));

    auto blankUser = bobWith(1, 1);
    blankUser->userName = QStringLiteral("  ");
    handlers.IFtpEngineNotify_UserLogout(*blankUser);
    EXPECT_TRUE(home.exists(stats(QStringLiteral("Trend_  .txt"))));
    EXPECT_FALSE(home.exists(stats(QStringLiteral("Trend_User_Day_  .2026342.txt"))));
}

TEST(DayStamp, YearThenDayWithoutLeadingZeros)
{
    EXPECT_EQ(DayStamp(QDate(2026, 1, 5)), QStringLiteral("20265"));
    EXPECT_EQ(DayStamp(QDate(2026, 2, 10)), QStringLiteral("202641"));
    EXPECT_EQ(DayStamp(QDate(2024, 12, 31)), QStringLiteral("2024366"));
}

TEST_F(Logout, DayFilesFollowTheClock)
{
    for (const auto& [date, stamp] : {std::pair{QDate(2026, 1, 5), "20265"}, std::pair{QDate(2026, 2, 10), "202641"},
                                      std::pair{QDate(2024, 12, 31), "2024366"}}) {
        now = QDateTime(date, QTime(23, 59, 59));
        auto user = bobWith(1, 1);
        handlers.IFtpEngineNotify_UserLogout(*user);
        EXPECT_TRUE(home.exists(stats(QStringLiteral("Trend_User_Day_bob.") + QLatin1String(stamp) + QStringLiteral(".txt"))))
            << stamp;
        EXPECT_TRUE(home.exists(stats(QStringLiteral("Trend_Group_Day_staff.") + QLatin1String(stamp) + QStringLiteral(".txt"))))
            << stamp;
    }
}

TEST_F(Logout, AdministratorsLogoffTextOnlyForTheSessionEnded)
{
    // The administrator ends session 7; another session's end keeps its own text.
    ConsoleState::AdminLogoffSession = 7;
    auto other = bobWith(0, 0);
    other->sessionId = 3;
    handlers.IFtpEngineNotify_UserLogout(*other);
    EXPECT_EQ(ConsoleState::AdminLogoffSession, 7u);
    auto a = bobWith(0, 0);
    a->sessionId = 7;
    handlers.IFtpEngineNotify_UserLogout(*a);
    EXPECT_EQ(ConsoleState::AdminLogoffSession, 0u);
    auto b = bobWith(0, 0);
    b->sessionId = 7;
    handlers.IFtpEngineNotify_UserLogout(*b);
    EXPECT_EQ(messages(QStringLiteral("/logs/S_Log.txt")),
              (QStringList{QStringLiteral("221 User has disconnected"),
                           QStringLiteral("221 The Administrator has terminated the connection."),
                           QStringLiteral("221 User has disconnected")}));

    // A session that never logged in writes no trend file; its end is logged.
    auto never = session(QStringLiteral("mallory"), QStringLiteral("secret"), 9);
    ConsoleState::AdminLogoffSession = never->SessionId();
    never->SetSessionData(QStringLiteral("kill"));
    handlers.IFtpEngineNotify_UserLogout(*never);
    EXPECT_EQ(ConsoleState::AdminLogoffSession, 0u);
    EXPECT_FALSE(home.exists(stats(QStringLiteral("Trend_mallory.txt"))));
    const LogRecord last = records(QStringLiteral("/logs/S_Log.txt")).last();
    EXPECT_EQ(last.Message, QStringLiteral("221 The Administrator has terminated the connection."));
    EXPECT_EQ(last.Group, QStringLiteral("Unknown"));
    EXPECT_TRUE(never->holdsNothing());
    EXPECT_EQ(console.userTreeUpdates, 4);
}

TEST_F(Logout, DamagedDayFileIsReportedAndMended)
{
    home.write(stats(QStringLiteral("Trend_User_Day_bob.2026342.txt")), "10\r\nx\r\n2147483647\r\n");
    home.write(stats(QStringLiteral("Trend_Group_Day_staff.2026342.txt")),
               "1\r\n1\r\n1\r\n9223372036854775807\r\n1\r\n1\r\n1\r\n1\r\n");
    auto user = bobWith(1, 100);
    handlers.IFtpEngineNotify_UserLogout(*user);
    // Missing and non-numeric lines count as 0; a count past 2^31 is no longer an overflow.
    EXPECT_EQ(fileLines(stats(QStringLiteral("Trend_User_Day_bob.2026342.txt"))),
              Numbers({14, 2, Q_INT64_C(2147483648), 3, 103, 101, 100, 102}));
    // A sum that does not fit keeps the value read.
    EXPECT_EQ(fileLines(stats(QStringLiteral("Trend_Group_Day_staff.2026342.txt"))),
              Numbers({5, 3, 2, Q_INT64_C(9223372036854775807), 104, 102, 101, 103}));
    EXPECT_EQ(doubles.errors->reports.size(), 7); // one type mismatch, five missing lines, one overflow
    for (const QString& report : doubles.errors->reports)
        EXPECT_TRUE(report.contains(QStringLiteral("in Quayport.frmMain.IFtpEngineNotify_UserLogout at line ")));
}

TEST_F(Logout, AnUnreadableDayFileIsNeverReplacedByOneSession)
{
    const QString day = stats(QStringLiteral("Trend_User_Day_bob.2026342.txt"));
    home.write(day, "7\r\n7\r\n7\r\n7\r\n7\r\n7\r\n7\r\n7\r\n");
    const QByteArray before = home.read(day);
    MakeReadOnlyForOthers(home.file(QStringLiteral("/users/stats")));
    // The folder stays writable, so a replacement would succeed if tried.
    QFile::setPermissions(home.file(QStringLiteral("/users/stats")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                              | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    QFile::setPermissions(home.file(day), QFileDevice::WriteOwner);
    QDir().mkpath(home.file(QStringLiteral("/logs")));
    QFile::setPermissions(home.file(QStringLiteral("/logs")), QFile::permissions(home.file(QStringLiteral("/logs")))
                                                                  | QFileDevice::WriteOther | QFileDevice::ExeOther);

    EXPECT_EXIT(
        {
            BecomeUnprivileged();
            InstalledDoubles recording;
            auto user = bobWith(1, 1);
            handlers.IFtpEngineNotify_UserLogout(*user);
            std::exit(recording.errors->reports.size() == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(home.read(day), before);
    EXPECT_TRUE(home.exists(stats(QStringLiteral("Trend_bob.txt"))));
}
