// What the program keeps from one FTP event to the next (open logs, file
// contents, existence answers, the time zone) must show every change made
// behind its back at the next event: a deleted or renamed log, a file edited
// in place or through a link, a folder replaced.
#include "core/FileContentCache.h"
#include "core/FileMarks.h"
#include "core/LocalClock.h"
#include "core/LogAppend.h"
#include "core/SmallProcs.h"
#include "core/TextFile.h"
#include "tests/support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QString Log(const TempAppFolder& home)
{
    return home.file(QStringLiteral("/logs/S_Log.txt"));
}

qint64 Append(const QString& path, const QByteArray& bytes)
{
    qint64 size = -1;
    EXPECT_TRUE(AppendMeasured(path, bytes, size));
    return size;
}

void InPlace(const QString& path, const QByteArray& bytes, bool truncate = false)
{
    QFile f(path);
    ASSERT_TRUE(f.open(truncate ? QIODevice::WriteOnly : QIODevice::ReadWrite)); // same inode
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray Content(const QString& path)
{
    return SmallFileContent(path).value_or("-");
}

void Rename(const QString& from, const QString& to)
{
    ASSERT_EQ(::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()), 0);
}

struct ZoneRestorer {
    QByteArray old = qgetenv("TZ");
    bool had = qEnvironmentVariableIsSet("TZ");
    ~ZoneRestorer() { had ? qputenv("TZ", old) : qunsetenv("TZ"); }
};

} // namespace

TEST(KeptState, EveryChangeBehindTheProgramsBackIsSeenAtTheNextEvent)
{
    using Step = std::function<void(const TempAppFolder&)>;
    const auto users = [](const TempAppFolder& h, const char* name) { return h.file("/users/") + name; };
    const struct {
        const char* what;
        Step keep;   // the first event: something is kept
        Step change; // behind the program's back
        Step check;  // the next event
    } cases[] = {
        {"log deleted", [](auto& h) { Append(Log(h), "a"); }, [](auto& h) { QFile::remove(Log(h)); },
         [](auto& h) { EXPECT_EQ(Append(Log(h), "b"), 1); EXPECT_EQ(h.read("/logs/S_Log.txt"), "b"); }},
        {"log renamed (the log viewer's new log)", [](auto& h) { Append(Log(h), "a"); },
         [](auto& h) { Rename(Log(h), h.file("/logs/S_Log_1.txt")); },
         [](auto& h) {
             Append(Log(h), "b");
             EXPECT_EQ(h.read("/logs/S_Log.txt"), "b");
             EXPECT_EQ(h.read("/logs/S_Log_1.txt"), "a");
         }},
        {"log replaced by a rename", [](auto& h) { Append(Log(h), "a"); },
         [](auto& h) { h.write("/logs/new", "xy"); Rename(h.file("/logs/new"), Log(h)); },
         [](auto& h) { EXPECT_EQ(Append(Log(h), "b"), 3); EXPECT_EQ(h.read("/logs/S_Log.txt"), "xyb"); }},
        {"logs folder moved away and made again", [](auto& h) { Append(Log(h), "a"); },
         [](auto& h) { Rename(h.file("/logs"), h.file("/old")); QDir().mkdir(h.file("/logs")); },
         [](auto& h) { Append(Log(h), "b"); EXPECT_EQ(h.read("/logs/S_Log.txt"), "b"); EXPECT_EQ(h.read("/old/S_Log.txt"), "a"); }},
        {"log cut short", [](auto& h) { Append(Log(h), "abc"); }, [](auto& h) { InPlace(Log(h), "", true); },
         [](auto& h) { EXPECT_EQ(LogLength(Log(h)), 0); EXPECT_EQ(Append(Log(h), "b"), 1); }},
        {"log grown by another writer", [](auto& h) { Append(Log(h), "a"); },
         [](auto& h) {
             QFile f(Log(h));
             ASSERT_TRUE(f.open(QIODevice::Append));
             f.write("0123456789");
         },
         [](auto& h) { EXPECT_EQ(LogLength(Log(h)), 11); EXPECT_EQ(Append(Log(h), "b"), 12); }},
        {"log found missing, then made", [](auto& h) { EXPECT_EQ(LogLength(h.file("/logs/G_x.txt")), -1); },
         [](auto& h) { h.write("/logs/g_X.txt", "abc"); },
         [](auto& h) { EXPECT_EQ(LogLength(h.file("/logs/G_x.txt")), 3); }},
        {"file rewritten in place at once", [&](auto& h) { h.write("/users/U_a", "a\r\n"); Content(users(h, "U_a")); },
         [&](auto& h) { InPlace(users(h, "U_a"), "b\r\n"); },
         [&](auto& h) { EXPECT_EQ(Content(users(h, "U_a")), "b\r\n"); }},
        {"file changed through a link in another folder",
         [&](auto& h) {
             h.write("/users/U_a", "a\r\n");
             h.write("/other/keep", "");
             ASSERT_EQ(::link(QFile::encodeName(users(h, "U_a")), QFile::encodeName(h.file("/other/U_a"))), 0);
             Content(users(h, "U_a"));
         },
         [](auto& h) { InPlace(h.file("/other/U_a"), "z\r\n"); },
         [&](auto& h) { EXPECT_EQ(Content(users(h, "U_a")), "z\r\n"); }},
        {"file replaced by a rename", [&](auto& h) { h.write("/users/U_a", "a\r\n"); Content(users(h, "U_a")); },
         [&](auto& h) { h.write("/other/U_a", "q\r\n"); Rename(h.file("/other/U_a"), users(h, "U_a")); },
         [&](auto& h) { EXPECT_EQ(Content(users(h, "U_a")), "q\r\n"); }},
        {"file found, then deleted", [&](auto& h) { h.write("/users/U_a", "a"); EXPECT_TRUE(FileExists(users(h, "U_a"))); },
         [&](auto& h) { QFile::remove(users(h, "U_a")); }, [&](auto& h) { EXPECT_FALSE(FileExists(users(h, "U_a"))); }},
        {"file missing, then made in another case", [&](auto& h) { EXPECT_FALSE(FileExists(users(h, "U_a"))); },
         [](auto& h) { h.write("/users/u_A", "a"); }, [&](auto& h) { EXPECT_TRUE(FileExists(users(h, "U_a"))); }},
        {"file turned into a folder", [&](auto& h) { h.write("/users/U_a", "a"); EXPECT_TRUE(FileExists(users(h, "U_a"))); },
         [&](auto& h) { QFile::remove(users(h, "U_a")); QDir().mkdir(users(h, "U_a")); },
         [&](auto& h) { EXPECT_FALSE(FileExists(users(h, "U_a"))); EXPECT_TRUE(FolderExists(users(h, "U_a"))); }},
        {"link whose file goes",
         [&](auto& h) {
             h.write("/other/U_a", "a");
             ASSERT_TRUE(QFile::link(h.file("/other/U_a"), users(h, "U_a")));
             EXPECT_TRUE(FileExists(users(h, "U_a")));
         },
         [](auto& h) { QFile::remove(h.file("/other/U_a")); }, [&](auto& h) { EXPECT_FALSE(FileExists(users(h, "U_a"))); }},
        // Within one notification the program's own changes are seen at once;
        // another's, from the next notification on.
        {"own removal within a notification",
         [](auto& h) {
             const FileInstant instant;
             Append(Log(h), "a");
             EXPECT_TRUE(RemoveFile(Log(h)));
             Append(Log(h), "b");
             EXPECT_EQ(h.read("/logs/S_Log.txt"), "b");
         },
         [](auto&) {}, [](auto&) {}},
        {"another's removal within a notification",
         [](auto& h) {
             Append(Log(h), "a");
             const FileInstant instant;
             Append(Log(h), "b");
             QFile::remove(Log(h));
             Append(Log(h), "c"); // to the log as the notification found it
             EXPECT_FALSE(h.exists("/logs/S_Log.txt"));
         },
         [](auto&) {},
         [](auto& h) {
             const FileInstant instant;
             Append(Log(h), "d");
             EXPECT_EQ(h.read("/logs/S_Log.txt"), "d");
         }},
        {"time zone changed", [](auto&) { qputenv("TZ", "UTC0"); EXPECT_EQ(LocalNow().offsetFromUtc(), 0); },
         [](auto&) { qputenv("TZ", "EST5"); }, [](auto&) { EXPECT_EQ(LocalNow().offsetFromUtc(), -5 * 3600); }},
    };
    const ZoneRestorer zone;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder home;
        QDir().mkpath(home.file("/logs"));
        QDir().mkpath(home.file("/users"));
        QDir().mkpath(home.file("/other"));
        c.keep(home);
        c.change(home);
        c.check(home);
    }
}
