// Names looked up ignoring letter case: right after every change made behind
// the program's back, and without listing the folder again for it.
#include "core/FileNames.h"
#include "core/FolderListing.h"
#include "tests/support/TempAppFolder.h"

#include <QFile>
#include <QProcess>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Makes changes below top, ";" between them: "touch P", "rm P", "mkdir P",
// "rmdir P", "mv A B", "swap A B" (the two trade places), "ln T L" (L made a
// link to T) and "other-mv A B" (renamed by another process).
void Change(const QString& top, const QString& commands)
{
    for (const QString& command : commands.split(';', Qt::SkipEmptyParts)) {
        const QStringList w = command.split(' ');
        const auto at = [&](int i) { return QFile::encodeName(top + '/' + w[i]); };
        bool ok = false;
        if (w[0] == "touch")
            ok = QFile(top + '/' + w[1]).open(QIODevice::WriteOnly);
        else if (w[0] == "rm")
            ok = ::unlink(at(1)) == 0;
        else if (w[0] == "mkdir")
            ok = ::mkdir(at(1), 0755) == 0;
        else if (w[0] == "rmdir")
            ok = ::rmdir(at(1)) == 0;
        else if (w[0] == "mv")
            ok = ::rename(at(1), at(2)) == 0;
        else if (w[0] == "swap")
            ok = ::renameat2(AT_FDCWD, at(1), AT_FDCWD, at(2), RENAME_EXCHANGE) == 0;
        else if (w[0] == "ln")
            ok = (::unlink(at(2)), ::symlink(at(1), at(2)) == 0);
        else if (w[0] == "other-mv")
            ok = QProcess::execute("mv", {top + '/' + w[1], top + '/' + w[2]}) == 0;
        ASSERT_TRUE(ok) << command.toStdString();
    }
}

} // namespace

TEST(NameLookup, EveryChangeBehindTheProgramsBackIsSeenWithoutListingAgain)
{
    const struct {
        const char* what;
        const char* before;   // the folder's state before the first look-up
        const char* change;   // made between the look-ups
        const char* looked;   // the path resolved
        const char* expected; // what it resolves to after the change
        int listings;         // folders listed for the look-up after the change
    } cases[] = {
        {"exact spelling", "mkdir d;touch d/Name.txt", "", "d/Name.txt", "d/Name.txt", 0},
        {"other case", "mkdir d;touch d/Name.txt", "", "d/NAME.TXT", "d/Name.txt", 0},
        {"created", "mkdir d;touch d/x", "touch d/nAME.txt", "d/name.txt", "d/nAME.txt", 0},
        {"removed", "mkdir d;touch d/Name.txt", "rm d/Name.txt", "d/name.txt", "d/name.txt", 0},
        {"renamed to another case", "mkdir d;touch d/Name.txt", "mv d/Name.txt d/NAME.txt", "d/name.txt",
         "d/NAME.txt", 0},
        {"renamed in", "mkdir d;touch d/old", "mv d/old d/Name.TXT", "d/name.txt", "d/Name.TXT", 0},
        {"moved in from another folder", "mkdir d;mkdir e;touch e/NAME.txt", "mv e/NAME.txt d/NAME.txt", "d/name.txt",
         "d/NAME.txt", 0},
        {"moved out", "mkdir d;mkdir e;touch d/NAME.txt", "mv d/NAME.txt e/NAME.txt", "d/name.txt", "d/name.txt", 0},
        {"traded places", "mkdir d;touch d/Name.txt;touch d/.swap", "swap d/.swap d/Name.txt", "d/name.txt",
         "d/Name.txt", 0},
        {"renamed by another process", "mkdir d;touch d/Name.txt", "other-mv d/Name.txt d/naMe.txt", "d/name.TXT",
         "d/naMe.txt", 0},
        {"several spellings: the first in code order", "mkdir d;touch d/name.Txt", "touch d/Name.txt", "d/NAME.TXT",
         "d/Name.txt", 0},
        {"several spellings, the first removed", "mkdir d;touch d/Name.txt;touch d/name.Txt", "rm d/Name.txt",
         "d/NAME.TXT", "d/name.Txt", 0},
        {"folder replaced", "mkdir d;touch d/Name.txt", "mv d d.old;mkdir d;touch d/NAME.txt", "d/name.txt",
         "d/NAME.txt", 1},
        {"folder above replaced", "mkdir p;mkdir p/d;touch p/d/Name.txt",
         "mv p p.old;mkdir p;mkdir p/d;touch p/d/NAME.txt", "p/d/name.txt", "p/d/NAME.txt", 1},
        // The folder above is looked in now.
        {"folder removed", "mkdir d;touch d/Name.txt", "rm d/Name.txt;rmdir d", "d/name.txt", "d/name.txt", 1},
        {"link turned to another folder", "mkdir a;touch a/Name.txt;mkdir b;touch b/NAME.txt;ln a l", "ln b l",
         "l/name.txt", "l/NAME.txt", 1},
        {"folder in another case", "mkdir Logs;touch Logs/x", "touch Logs/G_Unknown.txt", "logs/g_unknown.TXT",
         "Logs/G_Unknown.txt", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder home(false);
        const QString top = home.path() + '/';
        Change(home.path(), c.before);
        const QString found = ResolvePath(top + c.looked);
        EXPECT_EQ(ResolvePath(top + c.looked), found); // now from the index the first look-up built
        Change(home.path(), c.change);
        const qint64 listed = FolderListingCount();
        EXPECT_EQ(ResolvePath(top + c.looked).toStdString(), (top + c.expected).toStdString());
        EXPECT_EQ(FolderListingCount() - listed, c.listings);
    }
}

TEST(NameLookup, ALargeChangingFolderIsListedOnceFromEveryThread)
{
    TempAppFolder home(false);
    const QString logs = home.path() + "/logs/";
    Change(home.path(), "mkdir logs");
    for (int i = 0; i < 5000; ++i)
        Change(logs, QStringLiteral("touch S_Log.txt_%1.txt").arg(i));
    const qint64 before = FolderListingCount();
    EXPECT_EQ(ResolvePath(logs + "g_unknown.txt"), logs + "g_unknown.txt");

    // New files keep coming while several threads look names up.
    std::atomic<int> wrong{0};
    std::vector<std::thread> lookers;
    for (int t = 0; t < 4; ++t) {
        lookers.emplace_back([&, t] {
            for (int i = t; i < 5000; i += 4) {
                const QString name = QStringLiteral("S_Log.txt_%1.txt").arg(i);
                wrong += ResolvePath(logs + name.toLower()) != logs + name;
            }
        });
    }
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("New_%1.txt").arg(i);
        Change(logs, "touch " + name);
        EXPECT_EQ(ResolvePath(logs + name.toUpper()), logs + name);
    }
    for (std::thread& t : lookers)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(FolderListingCount() - before, 1);
}
