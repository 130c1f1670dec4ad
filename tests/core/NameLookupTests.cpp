// Names looked up ignoring letter case: right after every change made behind
// the program's back, and without listing the folder again for it.
#include "core/FileNames.h"
#include "core/FolderListing.h"
#include "tests/support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

void Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

void Move(const QString& from, const QString& to)
{
    ASSERT_EQ(::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()), 0)
        << from.toStdString();
}

// A rename done by another process.
void MoveElsewhere(const QString& from, const QString& to)
{
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::rename(a.constData(), b.constData()) == 0 ? 0 : 1);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace

TEST(NameLookup, EveryChangeBehindTheProgramsBackIsSeenWithoutListingAgain)
{
    using Change = std::function<void(const QString& top)>;
    struct Case {
        const char* what;
        QStringList before; // files below top/, "dir/" for folders
        Change change;
        const char* looked;   // the path resolved, below top/
        const char* expected; // what it resolves to afterwards
        int listings;         // folders listed for the change's look-up
    };
    const auto touch = [](const char* name) { return [=](const QString& t) { Touch(t + "/" + name); }; };
    const auto move = [](const char* from, const char* to) {
        return [=](const QString& t) { Move(t + "/" + from, t + "/" + to); };
    };
    const Case cases[] = {
        {"exact spelling", {"d/", "d/Name.txt"}, {}, "d/Name.txt", "d/Name.txt", 0},
        {"other case", {"d/", "d/Name.txt"}, {}, "d/NAME.TXT", "d/Name.txt", 0},
        {"created", {"d/", "d/other"}, touch("d/nAME.txt"), "d/name.txt", "d/nAME.txt", 0},
        {"removed", {"d/", "d/Name.txt"}, [](const QString& t) { QFile::remove(t + "/d/Name.txt"); }, "d/name.txt",
         "d/name.txt", 0},
        {"renamed to another case", {"d/", "d/Name.txt"}, move("d/Name.txt", "d/NAME.txt"), "d/name.txt",
         "d/NAME.txt", 0},
        {"renamed away", {"d/", "d/Name.txt"}, move("d/Name.txt", "d/gone"), "d/name.txt", "d/name.txt", 0},
        {"renamed in", {"d/", "d/old"}, move("d/old", "d/Name.TXT"), "d/name.txt", "d/Name.TXT", 0},
        {"moved in from another folder", {"d/", "e/", "e/NAME.txt"}, move("e/NAME.txt", "d/NAME.txt"), "d/name.txt",
         "d/NAME.txt", 0},
        {"moved out to another folder", {"d/", "e/", "d/NAME.txt"}, move("d/NAME.txt", "e/NAME.txt"), "d/name.txt",
         "d/name.txt", 0},
        {"traded places with another name", {"d/", "d/Name.txt", "d/.swap"},
         [](const QString& t) {
             ASSERT_EQ(::renameat2(AT_FDCWD, QFile::encodeName(t + "/d/.swap").constData(), AT_FDCWD,
                                   QFile::encodeName(t + "/d/Name.txt").constData(), RENAME_EXCHANGE),
                       0);
         },
         "d/name.txt", "d/Name.txt", 0},
        {"renamed by another process", {"d/", "d/Name.txt"},
         [](const QString& t) { MoveElsewhere(t + "/d/Name.txt", t + "/d/naMe.txt"); }, "d/name.TXT", "d/naMe.txt",
         0},
        {"several spellings: the first in code order", {"d/", "d/name.Txt"}, touch("d/Name.txt"), "d/NAME.TXT",
         "d/Name.txt", 0},
        {"several spellings, the first removed", {"d/", "d/Name.txt", "d/name.Txt"},
         [](const QString& t) { QFile::remove(t + "/d/Name.txt"); }, "d/NAME.TXT", "d/name.Txt", 0},
        {"folder replaced",
         {"d/", "d/Name.txt"},
         [](const QString& t) {
             Move(t + "/d", t + "/d.old");
             QDir(t).mkdir("d");
             Touch(t + "/d/NAME.txt");
         },
         "d/name.txt", "d/NAME.txt", 1},
        {"folder above replaced",
         {"p/", "p/d/", "p/d/Name.txt"},
         [](const QString& t) {
             Move(t + "/p", t + "/p.old");
             QDir(t).mkpath("p/d");
             Touch(t + "/p/d/NAME.txt");
         },
         "p/d/name.txt", "p/d/NAME.txt", 1},
        {"folder removed", {"d/", "d/Name.txt"},
         [](const QString& t) {
             QFile::remove(t + "/d/Name.txt");
             QDir(t).rmdir("d");
         },
         "d/name.txt", "d/name.txt", 1}, // the folder above is looked in now
        {"link turned to another folder",
         {"a/", "a/Name.txt", "b/", "b/NAME.txt"},
         [](const QString& t) {
             QFile::remove(t + "/l");
             ASSERT_TRUE(QFile::link(t + "/b", t + "/l"));
         },
         "l/name.txt", "l/NAME.txt", 1},
        {"folder in another case", {"Logs/", "Logs/G_x.txt"}, touch("Logs/G_Unknown.txt"), "logs/g_unknown.TXT",
         "Logs/G_Unknown.txt", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder home(false);
        const QString top = home.path();
        for (const QString& entry : c.before) {
            if (entry.endsWith('/')) {
                ASSERT_TRUE(QDir(top).mkpath(entry));
            } else {
                Touch(top + "/" + entry);
            }
        }
        if (QString(c.looked).startsWith("l/")) {
            ASSERT_TRUE(QFile::link(top + "/a", top + "/l"));
        }
        const QString looked = top + "/" + c.looked;
        const QString found = ResolvePath(looked);
        EXPECT_EQ(ResolvePath(looked), found); // the index built by the first look-up answers now
        if (c.change)
            c.change(top);
        const qint64 listed = FolderListingCount();
        EXPECT_EQ(ResolvePath(looked).toStdString(), (top + "/" + c.expected).toStdString());
        EXPECT_EQ(FolderListingCount() - listed, c.listings);
    }
}

TEST(NameLookup, ALargeChangingFolderIsListedOnceFromEveryThread)
{
    TempAppFolder home(false);
    const QString logs = home.file("/logs");
    ASSERT_TRUE(QDir().mkdir(logs));
    for (int i = 0; i < 5000; ++i)
        Touch(logs + QStringLiteral("/S_Log.txt_%1.txt").arg(i));
    const qint64 before = FolderListingCount();
    EXPECT_EQ(ResolvePath(logs + "/g_unknown.txt"), logs + "/g_unknown.txt");
    EXPECT_EQ(FolderListingCount() - before, 1);

    // New files keep coming while several threads look names up.
    std::vector<std::thread> lookers;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        lookers.emplace_back([&, t] {
            for (int i = t; i < 5000; i += 4) {
                const QString name = QStringLiteral("s_log.TXT_%1.TXT").arg(i);
                if (ResolvePath(logs + "/" + name) != logs + QStringLiteral("/S_Log.txt_%1.txt").arg(i))
                    ++wrong;
            }
        });
    }
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("/New_%1.txt").arg(i);
        Touch(logs + name);
        EXPECT_EQ(ResolvePath(logs + name.toUpper()), logs + name);
    }
    for (std::thread& t : lookers)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(FolderListingCount() - before, 1);
}
