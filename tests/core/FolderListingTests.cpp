// Remembered folder listings: a name looked up ignoring letter case must see
// every change made to the folder since, by us or by anyone else.
#include "core/FileNames.h"
#include "core/FolderListing.h"
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
    ~ListingRestorer() { SetFolderListingClock({}); }
};

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
        SetFolderListingClock(c.settledFolder ? std::function<timespec()>([] {
            timespec t{};
            clock_gettime(CLOCK_REALTIME, &t);
            t.tv_sec += 60;
            return t;
        })
                                              : std::function<timespec()>());
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
