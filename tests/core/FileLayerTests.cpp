// The file layer: letter case, wildcards, the code page, whole-file writes,
// line reading and renames.
#include "core/AnsiCodec.h"
#include "core/ErrorTexts.h"
#include "core/FileNames.h"
#include "core/LogAppend.h"
#include "core/NoReplaceRename.h"
#include "core/StaleTemporaries.h"
#include "core/TextFile.h"
#include "tests/support/TempAppFolder.h"

#include <QDir>
#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <gtest/gtest.h>

namespace {

// Files of this process may grow to the given size only: a write across it
// takes what fits and the next one fails with EFBIG, as a filling disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_old{};
    void (*m_signal)(int) = nullptr;
};

} // namespace

TEST(AnsiCodec, AllBytesRoundTripAndHighCharactersMap)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
    EXPECT_EQ(FromAnsi("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(FromAnsi("\x81"), QString(QChar(0x0081)));
    EXPECT_EQ(ToAnsi(QString(QChar(0x2122))), QByteArray("\x99"));
    EXPECT_EQ(ToAnsi(QString(QChar(0x4E2D))), QByteArray("?")); // not in the code page
}

TEST(FileNames, ResolverFindsOtherLetterCaseAndKeepsNewSpelling)
{
    TempAppFolder home;
    home.write(QStringLiteral("/Config.txt"), "x");
    EXPECT_EQ(ResolvePath(home.file(QStringLiteral("/config.txt"))), home.file(QStringLiteral("/Config.txt")));
    EXPECT_EQ(ResolvePath(home.file(QStringLiteral("/USERS/stats/a.txt"))),
              home.file(QStringLiteral("/users/stats/a.txt")));
    EXPECT_EQ(ResolvePath(home.file(QStringLiteral("/Nothing/Here.txt"))),
              home.file(QStringLiteral("/Nothing/Here.txt")));

    // A rewrite keeps the existing file's own spelling.
    ASSERT_TRUE(WriteWholeFile(home.file(QStringLiteral("/CONFIG.TXT")), "new"));
    EXPECT_EQ(home.read(QStringLiteral("/Config.txt")), QByteArray("new"));
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{QStringLiteral("Config.txt")});
}

TEST(FileNames, SafeNames)
{
    const QString bad[] = {QStringLiteral("*"),  QStringLiteral("a?b"), QStringLiteral("../x"),
                           QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral("."),
                           QStringLiteral(".."), QStringLiteral("tab\there"), QStringLiteral("nul") + QChar(0)};
    for (const QString& name : bad)
        EXPECT_FALSE(IsSafeName(name)) << name.toStdString();
    for (const char* good : {"bob", "Bob Smith", "a.b", "x_#@", "...", ""})
        EXPECT_TRUE(IsSafeName(QString::fromLatin1(good))) << good;
}

TEST(FileNames, WildcardListing)
{
    TempAppFolder home;
    for (const char* f : {"/users/U_bob", "/users/u_Alice", "/users/U_carl.txt", "/users/.U_hidden", "/users/X_no"})
        home.write(QString::fromLatin1(f), "1");
    QDir(home.path()).mkpath(QStringLiteral("users/U_folder"));

    EXPECT_EQ(ListFiles(home.file(QStringLiteral("/users")), QStringLiteral("U_*.*")),
              (QStringList{QStringLiteral("u_Alice"), QStringLiteral("U_bob"), QStringLiteral("U_carl.txt")}));
    EXPECT_EQ(ListFiles(home.file(QStringLiteral("/USERS")), QStringLiteral("u_b?b")), QStringList{QStringLiteral("U_bob")});
    EXPECT_TRUE(WildcardMatch(QStringLiteral("Trend_User_Day_bob.202641.txt"), QStringLiteral("Trend_User_Day_bob.*")));
    EXPECT_FALSE(WildcardMatch(QStringLiteral("U_bobby"), QStringLiteral("U_bob")));
}

TEST(TextFile, LineReaderGivesNoValuePastTheEnd)
{
    TempAppFolder home;
    home.write(QStringLiteral("/f.txt"), "one\r\ntwo\nthree");
    LineReader r(home.file(QStringLiteral("/F.TXT")));
    ASSERT_TRUE(r.isOpen());
    EXPECT_EQ(r.readLine(), QStringLiteral("one"));
    EXPECT_EQ(r.readLine(), QStringLiteral("two"));
    EXPECT_EQ(r.readLine(), QStringLiteral("three"));
    EXPECT_FALSE(r.readLine().has_value());
    EXPECT_FALSE(r.readLine().has_value());

    LineReader missing(home.file(QStringLiteral("/none.txt")));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.readLine().has_value());
}

TEST(TextFile, ALineLongerThanItsFormatHoldsMarksTheFileDamaged)
{
    TempAppFolder home;
    // Small files are read whole, larger ones a piece at a time: lines across
    // the pieces' borders read alike.
    QByteArray many;
    for (int i = 0; i < 20000; ++i)
        many += QByteArray::number(i) + "\r\n";
    const QByteArray x70k = "ab\r\n" + QByteArray(70000, 'x') + "\r\nz\r\n";
    const struct {
        QByteArray content;
        qsizetype limit;
        int lines; // before the end or the damage
        QString last;
        bool damaged;
    } rows[] = {
        {"ab\r\ncd", 2, 2, QStringLiteral("cd"), false}, {"ab\r\nabc\r\ncd\r\n", 2, 1, QStringLiteral("ab"), true},
        {many, 8, 20000, QStringLiteral("19999"), false}, {x70k, 70000, 3, QStringLiteral("z"), false},
        {x70k, 69999, 1, QStringLiteral("ab"), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        home.write(QStringLiteral("/f.txt"), row.content);
        LineReader reader(home.file(QStringLiteral("/f.txt")), row.limit);
        int lines = 0;
        QString last;
        for (; const std::optional<QString> line = reader.readLine(); ++lines)
            last = *line;
        EXPECT_EQ(lines, row.lines);
        EXPECT_EQ(last, row.last);
        EXPECT_TRUE(reader.atEnd());
        EXPECT_EQ(reader.damaged(), row.damaged);
        EXPECT_EQ(reader.errorText(), row.damaged ? LineTooLongText() : PastEndText());
    }
}

TEST(TextFile, WholeWritesAreAtomicAndRenamesNeverReplace)
{
    TempAppFolder home;
    home.write(QStringLiteral("/a.txt"), "old");
    QDir(home.path()).mkpath(QStringLiteral("blocked"));
    // A target that cannot be written leaves nothing half-done.
    EXPECT_FALSE(WriteWholeFile(home.file(QStringLiteral("/blocked")), "x"));
    EXPECT_TRUE(QFileInfo(home.file(QStringLiteral("/blocked"))).isDir());

    // A disk that fills in the middle of the new content leaves the old file
    // and no temporary; then the rewrite goes through, keeping the file's mode.
    QFile(home.file(QStringLiteral("/a.txt"))).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                | QFileDevice::ReadOther | QFileDevice::WriteOther);
    {
        const FileSizeLimit limit(4);
        const FileOpResult r = WriteWholeFile(home.file(QStringLiteral("/a.txt")), "longer than four");
        EXPECT_FALSE(r);
        EXPECT_EQ(r.errorNumber, EFBIG);
    }
    EXPECT_EQ(home.read(QStringLiteral("/a.txt")), QByteArray("old"));
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.txt")});
    ASSERT_TRUE(WriteLines(home.file(QStringLiteral("/a.txt")), {QStringLiteral("x"), QStringLiteral("\u20ac")}));
    EXPECT_EQ(home.read(QStringLiteral("/a.txt")), QByteArray("x\r\n\x80\r\n"));
    EXPECT_EQ(QFile(home.file(QStringLiteral("/a.txt"))).permissions() & 0x0FFF, 0x0606);
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.txt")});

    home.write(QStringLiteral("/b.txt"), "b");
    EXPECT_FALSE(RenameNoReplace(home.file(QStringLiteral("/a.txt")), home.file(QStringLiteral("/b.txt"))));
    EXPECT_EQ(home.read(QStringLiteral("/b.txt")), QByteArray("b"));
    EXPECT_TRUE(RenameNoReplace(home.file(QStringLiteral("/a.txt")), home.file(QStringLiteral("/c.txt"))));
    EXPECT_FALSE(home.exists(QStringLiteral("/a.txt")));

    ASSERT_TRUE(AppendToFile(home.file(QStringLiteral("/c.txt")), "more"));
    EXPECT_EQ(FileLength(home.file(QStringLiteral("/C.txt"))), 10);
    EXPECT_EQ(FileLength(home.file(QStringLiteral("/none"))), -1);
}

// An append that the disk cuts short leaves the file exactly as it was, or
// absent when it was; the failure is told, and later appends go on cleanly.
TEST(TextFile, AnAppendThatFailsPartWayLeavesTheFileAsItWas)
{
    TempAppFolder home;
    const QByteArray record = "12-09-2026\r\n10:00:00\r\nbob\r\nstaff\r\n10.0.0.1\r\n226 Transfer complete.\r\n";
    using Append = std::function<FileOpResult(const QString&, const QByteArray&)>;
    const QList<std::pair<const char*, Append>> appenders{
        {"AppendToFile", AppendToFile},
        {"AppendMeasured", [](const QString& path, const QByteArray& bytes) {
             qint64 size = 0;
             const FileOpResult r = AppendMeasured(path, bytes, size);
             EXPECT_EQ(size, r ? FileLength(path) : -1);
             return r;
         }},
    };
    for (const auto& [name, append] : appenders) {
        for (const QByteArray& old : {QByteArray(), record, record + record}) {
            const QString path = home.file(QStringLiteral("/logs/S_Log.txt"));
            QFile::remove(path);
            if (!old.isEmpty())
                home.write(QStringLiteral("/logs/S_Log.txt"), old);
            {
                const FileSizeLimit limit(rlim_t(old.size() + record.size() / 2));
                const FileOpResult r = append(path, record);
                EXPECT_FALSE(r) << name;
                EXPECT_EQ(r.errorNumber, EFBIG) << name;
                EXPECT_FALSE(r.errorText.isEmpty()) << name;
            }
            EXPECT_EQ(home.exists(QStringLiteral("/logs/S_Log.txt")), !old.isEmpty()) << name << old.size();
            EXPECT_EQ(home.read(QStringLiteral("/logs/S_Log.txt")), old) << name;
            EXPECT_TRUE(append(path, record)) << name;
            EXPECT_EQ(home.read(QStringLiteral("/logs/S_Log.txt")), old + record) << name;
        }
    }
}

// Every way of claiming the new name (as used where the ones before it are not
// supported) moves files and folders and never replaces anything.
TEST(NoReplaceRename, EveryMethodMovesAndNeverReplaces)
{
    struct Case {
        const char* from;
        const char* to;
        int result;
    };
    const Case cases[] = {
        {"/file", "/moved", 0},
        {"/file", "/other", EEXIST},
        {"/file", "/folder2", EEXIST},
        {"/folder", "/folder2", EEXIST},
        {"/folder", "/movedfolder", 0},
        {"/missing", "/moved", ENOENT},
        {"/folder", "/folder/inside", EINVAL},
    };
    for (NoReplaceMethod method : {NoReplaceMethod::Flag, NoReplaceMethod::HardLink, NoReplaceMethod::Placeholder}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(QStringLiteral("method %1: %2 -> %3").arg(int(method)).arg(c.from, c.to).toStdString());
            TempAppFolder home(false);
            home.write(QStringLiteral("/file"), "file");
            home.write(QStringLiteral("/other"), "other");
            home.write(QStringLiteral("/folder/in"), "in");
            QDir(home.path()).mkpath(QStringLiteral("folder2"));
            const QString from = home.file(QString::fromLatin1(c.from));
            const QString to = home.file(QString::fromLatin1(c.to));
            const QFileInfo before(from);
            const QByteArray source = before.isFile() ? home.read(QString::fromLatin1(c.from)) : QByteArray();

            EXPECT_EQ(NoReplaceRename(from, to, method), c.result);
            if (c.result == 0) {
                EXPECT_FALSE(QFileInfo::exists(from));
                if (before.isDir())
                    EXPECT_EQ(home.read(QString::fromLatin1(c.to) + QStringLiteral("/in")), QByteArray("in"));
                else
                    EXPECT_EQ(home.read(QString::fromLatin1(c.to)), source);
                continue;
            }
            // Nothing moved, nothing replaced, no placeholder left behind.
            EXPECT_EQ(QFileInfo::exists(from), before.exists());
            EXPECT_EQ(home.read(QStringLiteral("/file")), QByteArray("file"));
            EXPECT_EQ(home.read(QStringLiteral("/other")), QByteArray("other"));
            EXPECT_EQ(home.read(QStringLiteral("/folder/in")), QByteArray("in"));
            EXPECT_TRUE(QDir(home.file(QStringLiteral("/folder2"))).isEmpty());
            EXPECT_FALSE(QFileInfo::exists(home.file(QStringLiteral("/moved"))));
            EXPECT_FALSE(QFileInfo::exists(home.file(QStringLiteral("/folder/inside"))));
        }
    }
}

// Only the program's own leftovers of an interrupted rewrite go; the served
// root, logs, the counters' partners and every file an administrator keeps,
// such as ".backup" copies and accounts with a dot in their names, stay.
TEST(StaleTemporaries, OnlyTheProgramsOwnLeftoversAreRemoved)
{
    TempAppFolder home;
    const auto leftover = [&](const char* file) {
        const QString path = RewriteTemporaryPath(home.file(QLatin1String(file)));
        return path.mid(home.path().size());
    };
    const QStringList stale{leftover("/Config.txt"), leftover("/VirtMap.dat"), leftover("/users/U_bob"),
                            leftover("/users/U_john.doe123"), leftover("/groups/G_staff"),
                            leftover("/users/stats/bob.Get_File_Count.txt"),
                            leftover("/logs/anonymous_passwords.txt")};
    const QStringList kept{"/Config.txt", "/Config.txt.backup", "/Config.txt.AbCdEf", "/Config.txt.ABCDEFG",
                           "/notes.txt.ABCDEF", "/users/U_bob", "/users/U_bob.backup", "/users/U_john.doe123",
                           "/groups/G_staff.AAAAAA", "/groups/G_x.y", "/logs/S_Log.txt.ABCDEF",
                           "/users/stats/bob.Get_File_Count.txt", "/users/stats/bob.Get_File_Count.txt.backup",
                           "/users/stats/.bob.Get_File_Count.txt.swap", "/users/stats/Trend_bob.txt",
                           "/users/.U_bob.quayport-rewrite-ABCDEFG", "/users/.U_bob.quayport-rewrite-ABC-EF",
                           "/users/U_bob.quayport-rewrite-ABCDEF", "/root/.U_bob.quayport-rewrite-ABCDEF",
                           "/root/Config.txt.ABCDEF"};
    for (const QStringList* list : {&stale, &kept})
        for (const QString& tail : *list)
            home.write(tail, "x");
    QDir(home.path()).mkpath(QStringLiteral("groups/.G_public.quayport-rewrite-FOLDER"));

    QStringList removed = RemoveStaleTemporaries();
    removed.sort();
    QStringList expected = stale;
    expected.sort();
    EXPECT_EQ(removed, expected);
    for (const QString& tail : stale)
        EXPECT_FALSE(home.exists(tail)) << tail.toStdString();
    for (const QString& tail : kept)
        EXPECT_TRUE(home.exists(tail)) << tail.toStdString();
    EXPECT_TRUE(QFileInfo(home.file(QStringLiteral("/groups/.G_public.quayport-rewrite-FOLDER"))).isDir());
}
