#include "engine/DataAddress.h"
#include "engine/DirListing.h"
#include "engine/ListingSource.h"
#include "engine/NamePattern.h"
#include "engine/PathBeneath.h"
#include "engine/ReplyLines.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>

namespace {
// A home folder's listing as a session sees it, with extra entries shown in
// it; each entry with its count of entries after it. gone names what goes
// once the folder has been read; a small chunk puts the names on the disk.
struct Listed {
    QList<DirEntry> entries;
    QList<qint32> left;
};
Listed listHome(const QString& home, const QList<DirEntry>& extra = {}, const QStringList& gone = {},
                qsizetype chunk = SortedNames::DefaultChunk)
{
    const PathMap::Target root = PathMap(home, {}, {}).map("/");
    UniqueFd folder(::open(QFile::encodeName(home).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ListingSource listed(
        std::move(folder),
        [&root](const QByteArray& name, struct stat& st) {
            const auto to = Beneath::resolve(root, name, Beneath::Last::Follow);
            return to && Beneath::exists(*to, st);
        },
        std::nullopt, extra, chunk);
    int turns = 1;
    while (!listed.read(2))
        ++turns;
    EXPECT_GT(turns, 1); // read in slices
    for (const QString& name : gone)
        QFile::remove(home + "/" + name);
    Listed out;
    DirEntry e;
    qint32 left = 0;
    while (listed.take(e, left)) {
        out.entries.append(e);
        out.left.append(left);
    }
    return out;
}

std::time_t localTime(int year, int month, int day, int hour, int minute)
{
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return std::mktime(&t);
}
} // namespace

TEST(Listing, LsLongFormWithTimeOrYear)
{
    DirEntry file;
    file.name = "report final.txt";
    file.info.st_mode = S_IFREG | 0644;
    file.info.st_nlink = 1;
    file.info.st_size = 1234567;
    file.info.st_mtime = localTime(2024, 3, 7, 14, 5);
    EXPECT_EQ(listLine(file, localTime(2024, 4, 1, 0, 0)),
              "-rw-r--r--    1 ftp      ftp           1234567 Mar  7 14:05 report final.txt");
    EXPECT_EQ(listLine(file, localTime(2025, 1, 2, 0, 0)),
              "-rw-r--r--    1 ftp      ftp           1234567 Mar  7  2024 report final.txt");

    DirEntry folder;
    folder.name = "d";
    folder.info.st_mode = S_IFDIR | 0750;
    folder.info.st_nlink = 3;
    folder.info.st_mtime = localTime(2024, 11, 30, 9, 0);
    EXPECT_TRUE(listLine(folder, localTime(2024, 12, 1, 0, 0)).startsWith("drwxr-x---    3 ftp"));
    EXPECT_EQ(modificationStamp(0), "19700101000000");

    // As ls -l: the time of day for the last six months only, the year for
    // anything older or yet to come, whatever the calendar year.
    const std::time_t now = localTime(2026, 12, 1, 12, 0);
    const struct {
        std::time_t mtime;
        const char* date;
    } rows[] = {
        {now, "Dec  1 12:00"},
        {now - 60, "Dec  1 11:59"},
        {localTime(2026, 6, 10, 8, 30), "Jun 10 08:30"},
        {localTime(2026, 5, 25, 8, 30), "May 25  2026"},
        {localTime(2026, 2, 10, 14, 30), "Feb 10  2026"},
        {localTime(2025, 12, 25, 18, 0), "Dec 25  2025"},
        {now + 60, "Dec  1  2026"},
        {localTime(2026, 12, 25, 18, 0), "Dec 25  2026"},
        {localTime(2027, 2, 10, 14, 30), "Feb 10  2027"},
    };
    for (const auto& row : rows) {
        file.info.st_mtime = row.mtime;
        EXPECT_EQ(listLine(file, now).chopped(17).right(12), QLatin1String(row.date)) << row.date;
    }
    // Across the turn of a year: last December is recent in January.
    file.info.st_mtime = localTime(2025, 12, 20, 9, 15);
    EXPECT_EQ(listLine(file, localTime(2026, 1, 5, 0, 0)).chopped(17).right(12), "Dec 20 09:15");
}

TEST(NamePattern, StarQuestionAndSetsIgnoringCase)
{
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } rows[] = {
        {"*.*", "noext", false},   {"a*b*c", "axxbyyc", true}, {"a*b*c", "axxbyy", false}, {"**a", "ba", true},
        {"[^ab]*", "apple", false}, {"[a-c]x", "Bx", true},     {"[a-c]x", "dx", false},   {"[]]x", "]x", true},
        {"[x", "[x", true},         {"?", "", false},           {"?", "\U0001F4C1", true},
        {"caf\u00c9*", "caf\u00e9.txt", true},                  {"*\u00df", "STRASSE\u00df", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(NamePattern(QString::fromUtf8(row.pattern)).matches(QString::fromUtf8(row.name)), row.matches)
            << row.pattern << " " << row.name;
    // A stray byte of a name is one character, matched as itself.
    EXPECT_TRUE(NamePattern(QString::fromUtf8("caf?.txt")).matches("caf" + QString(QChar(0xDCE9)) + ".txt"));
    for (const char* text : {"*.bin", "a?", "[ab]", "x[!a]y"})
        EXPECT_TRUE(NamePattern::isPattern(QString::fromUtf8(text))) << text;
    for (const char* text : {"plain.txt", "[x", "a]b", "[]", "[!]"})
        EXPECT_FALSE(NamePattern::isPattern(QString::fromUtf8(text))) << text;
}

TEST(Listing, FolderEntriesInNameOrderWithoutDotsOrLinksOut)
{
    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    QDir().mkpath(home + "/b");
    for (const char* name : {"c.txt", "A.txt", ".hidden"})
        QFile(home + "/" + name).open(QIODevice::WriteOnly);
    QFile::link(dir.path(), home + "/out");
    QFile::link(home + "/b", home + "/link");
    for (const qsizetype chunk : {SortedNames::DefaultChunk, qsizetype(8)}) {
        QStringList names;
        const Listed all = listHome(home, {}, {}, chunk);
        for (const DirEntry& e : all.entries)
            names << e.name;
        EXPECT_EQ(names, (QStringList{".hidden", "A.txt", "b", "c.txt", "link"}));
        EXPECT_EQ(all.left, (QList<qint32>{4, 3, 2, 1, 0}));
        EXPECT_TRUE(S_ISDIR(all.entries.at(4).info.st_mode)); // a link shows as what it leads to
    }

    // An extra entry takes its place by name, in place of a folder entry of that name;
    // entries that go meanwhile are left out, and the last one shown still has 0 after it.
    DirEntry extra, same;
    extra.name = "B";
    same.name = "c.txt";
    same.info.st_size = 42;
    const Listed merged = listHome(home, {extra, same}, {"c.txt", "link"});
    EXPECT_EQ(merged.entries.at(2).name, "B");
    EXPECT_EQ(merged.entries.at(4).info.st_size, 42);
    EXPECT_EQ(merged.left, (QList<qint32>{5, 4, 3, 2, 0})); // "link" still counted until it was looked at
}

TEST(ReplyLines, FollowTheMultiLineRules)
{
    EXPECT_EQ(replyLines("230 Login successful.", 500), QStringList{"230 Login successful."});
    EXPECT_EQ(replyLines("Welcome", 220), QStringList{"220 Welcome"});
    EXPECT_EQ(replyLines("220-Server v1\r\n    Hi\r\n220 Enter login details", 220),
              (QStringList{"220-Server v1", "    Hi", "220 Enter login details"}));
    // Lines without the code get it; a middle line must not end the reply early.
    EXPECT_EQ(replyLines("Hello\n230 in the middle\nBye", 230),
              (QStringList{"230-Hello", "230-in the middle", "230 Bye"}));
    EXPECT_EQ(replyLines("211-only\n", 500), (QStringList{"211-only", "211 "}));
}

TEST(DataAddress, PortAndEprtArguments)
{
    auto port = parsePortArgument("127,0,0,1,195,80");
    ASSERT_TRUE(port);
    EXPECT_EQ(port->host, QHostAddress("127.0.0.1"));
    EXPECT_EQ(port->port, 50000);
    for (const char* bad : {"127,0,0,1,195", "256,0,0,1,1,1", "1,2,3,4,5,-6", "a,b,c,d,e,f", ""})
        EXPECT_FALSE(parsePortArgument(bad)) << bad;

    auto v6 = parseEprtArgument("|2|::1|6275|");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host, QHostAddress("::1"));
    EXPECT_EQ(v6->port, 6275);
    EXPECT_TRUE(parseEprtArgument("!1!10.0.0.1!21!"));
    for (const char* bad : {"|1|::1|20|", "|2|10.0.0.1|20|", "|3|10.0.0.1|20|", "|1|10.0.0.1|70000|", "|1|x|1|"})
        EXPECT_FALSE(parseEprtArgument(bad)) << bad;

    EXPECT_EQ(pasvReply(QHostAddress("::ffff:10.1.2.3"), 1025), "227 Entering Passive Mode (10,1,2,3,4,1).");
    EXPECT_TRUE(pasvReply(QHostAddress("::1"), 1025).isEmpty());
}
