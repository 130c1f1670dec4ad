// Remembered folder listings and file contents: a name looked up ignoring
// letter case, and a small file read again, must show every change made since,
// by us or by anyone else.
#include "core/FileNames.h"
#include "core/TextFile.h"
#include "core/FileIdentity.h"
#include "tests/support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace {

timespec ChangeTime(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ctim;
}

bool Later(const timespec& a, const timespec& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// Waits until the file system's clock has stepped past the folder's last
// change, so the next change cannot carry the same time stamps.
void WaitForNextTimestamp(const TempAppFolder& home, const QString& folder)
{
    const timespec last = ChangeTime(folder);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline) {
        home.write(QStringLiteral("/tick"), "x");
        if (Later(ChangeTime(home.file(QStringLiteral("/tick"))), last))
            return;
        std::this_thread::yield();
    }
    FAIL() << "the file system clock did not move";
}

struct ListingRestorer {
    ~ListingRestorer() { SetRememberClock({}); }
};

std::function<timespec()> Clock(bool settled)
{
    if (!settled)
        return {};
    return [] {
        timespec t{};
        clock_gettime(CLOCK_REALTIME, &t);
        t.tv_sec += 60;
        return t;
    };
}

void SetTimes(const QString& path, const struct stat& st)
{
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

void Overwrite(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite)); // in place: same inode
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// All lines the reader gives, "-" when it cannot open the file.
QString ReadAll(const QString& path)
{
    LineReader r(path);
    if (!r.isOpen())
        return QStringLiteral("-");
    QStringList lines;
    while (const std::optional<QString> line = r.readLine())
        lines.append(*line);
    return lines.join(QLatin1Char('|'));
}

} // namespace

TEST(FolderListing, EveryChangeAfterARememberedListingIsSeen)
{
    using Change = std::function<void(const QString& dir)>;
    struct Case {
        const char* what;
        const char* before; // the one file in the folder at the first look-up
        Change change;
        const char* expected; // the spelling "name.txt" resolves to afterwards
        bool settledFolder;   // listed as if long after its last change
    };
    const auto rename = [](const char* from, const char* to) {
        return [=](const QString& d) { ASSERT_TRUE(QDir(d).rename(QLatin1String(from), QLatin1String(to))); };
    };
    const auto create = [](const char* name) {
        return [=](const QString& d) {
            QFile f(d + QLatin1Char('/') + QLatin1String(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        };
    };
    const Case cases[] = {
        {"deleted", "Name.TXT", [](const QString& d) { ASSERT_TRUE(QFile::remove(d + "/Name.TXT")); }, "name.txt", true},
        {"renamed to another case", "Name.TXT", rename("Name.TXT", "NAME.txt"), "NAME.txt", true},
        {"created in another case", "Other", create("NaMe.txt"), "NaMe.txt", true},
        {"renamed in from another name", "Other", rename("Other", "nAme.TXT"), "nAme.TXT", true},
        {"folder replaced by another",
         "Name.TXT",
         [](const QString& d) {
             ASSERT_TRUE(QDir().rename(d, d + ".old"));
             ASSERT_TRUE(QDir().mkdir(d));
             QFile f(d + "/NAME.TXT");
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         "NAME.TXT", true},
        {"folder time set back after a change",
         "Other",
         [](const QString& d) {
             struct stat st {};
             ::stat(QFile::encodeName(d).constData(), &st);
             QFile f(d + "/NaME.txt");
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             const timespec times[2] = {st.st_atim, st.st_mtim};
             ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(d).constData(), times, 0), 0);
         },
         "NaME.txt", true},
        // Real clock, no wait: a listing taken just after a change is not kept,
        // since a change in the same time stamp step would look like none.
        {"fresh folder changed at once", "Name.TXT", rename("Name.TXT", "naME.txt"), "naME.txt", false},
    };
    const ListingRestorer restore;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder home;
        const QString dir = home.file(QStringLiteral("/Folder"));
        ASSERT_TRUE(QDir().mkdir(dir));
        create(c.before)(dir);
        SetRememberClock(Clock(c.settledFolder));
        const QString looked = dir + QStringLiteral("/name.txt");
        const QString first = c.before[0] == 'N' ? dir + "/Name.TXT" : looked;
        ASSERT_EQ(ResolvePath(looked).toStdString(), first.toStdString());
        ASSERT_EQ(ResolvePath(looked).toStdString(), first.toStdString()); // the second answer comes from the remembered listing
        if (c.settledFolder)
            WaitForNextTimestamp(home, dir);
        c.change(dir);
        EXPECT_EQ(ResolvePath(looked).toStdString(), (dir + QLatin1Char('/') + QLatin1String(c.expected)).toStdString());
    }
}

TEST(FileContentCache, EveryChangeAfterARememberedReadIsSeen)
{
    using Change = std::function<void(const QString& file)>;
    struct Case {
        const char* what;
        Change change;
        const char* expected;
        bool settledFile;
    };
    const Case cases[] = {
        {"rewritten in place, same size", [](const QString& f) { Overwrite(f, "b\r\nc\r\n"); }, "b|c", true},
        {"rewritten in place, same size, time set back",
         [](const QString& f) {
             struct stat st {};
             ::stat(QFile::encodeName(f).constData(), &st);
             Overwrite(f, "x\r\ny\r\n");
             SetTimes(f, st);
         },
         "x|y", true},
        {"replaced by a rename, same size and time",
         [](const QString& f) {
             struct stat st {};
             ::stat(QFile::encodeName(f).constData(), &st);
             QFile n(f + ".new");
             ASSERT_TRUE(n.open(QIODevice::WriteOnly));
             n.write("p\r\nq\r\n");
             n.close();
             SetTimes(f + ".new", st);
             ASSERT_EQ(::rename(QFile::encodeName(f + ".new").constData(), QFile::encodeName(f).constData()), 0);
         },
         "p|q", true},
        {"grown", [](const QString& f) { Overwrite(f, "a\r\nz\r\nmore\r\n"); }, "a|z|more", true},
        {"deleted", [](const QString& f) { ASSERT_TRUE(QFile::remove(f)); }, "-", true},
        {"fresh file rewritten at once", [](const QString& f) { Overwrite(f, "m\r\nn\r\n"); }, "m|n", false},
    };
    const ListingRestorer restore;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder home;
        home.write(QStringLiteral("/U_name"), "a\r\nz\r\n");
        const QString file = home.file(QStringLiteral("/U_name"));
        SetRememberClock(Clock(c.settledFile));
        ASSERT_EQ(ReadAll(file).toStdString(), "a|z");
        ASSERT_EQ(ReadAll(file).toStdString(), "a|z"); // the second read comes from memory
        if (c.settledFile)
            WaitForNextTimestamp(home, file);
        c.change(file);
        EXPECT_EQ(ReadAll(file).toStdString(), c.expected);
    }
}
