#include "engine/ClientPath.h"
#include "engine/PathBeneath.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(ClientPath, ResolvesLexicallyAndNeverClimbsAboveRoot)
{
    EXPECT_EQ(ClientPath::resolve("/", ""), "/");
    EXPECT_EQ(ClientPath::resolve("/a/b", "c"), "/a/b/c");
    EXPECT_EQ(ClientPath::resolve("/a/b", "../c/./d"), "/a/c/d");
    EXPECT_EQ(ClientPath::resolve("/a/b", "/x//y/"), "/x/y");
    EXPECT_EQ(ClientPath::resolve("/a", "../../../.."), "/");
    EXPECT_EQ(ClientPath::resolve("/a", "..\\..\\etc\\passwd"), "/etc/passwd");
    EXPECT_EQ(ClientPath::resolve("/a", "\\b"), "/b");
    EXPECT_EQ(ClientPath::resolve("/", "..."), "/...");
    EXPECT_EQ(ClientPath::parent("/a/b"), "/a");
    EXPECT_EQ(ClientPath::parent("/a"), "/");
    EXPECT_EQ(ClientPath::quoted("/say \"hi\""), "\"/say \"\"hi\"\"\"");
}

TEST(PathMap, VirtualFoldersMapOntoTheirRealFolders)
{
    const QList<VirtualFolder> session{{"pub", "/", "/srv/pub/"}, {"deep", "/pub/", "/srv/deep"},
                                       {"..", "/", "/etc"}, {"bad/name", "/", "/etc"}};
    const QList<VirtualFolder> server{{"pub", "/", "/elsewhere"}, {"shared", "\\x\\", "/srv/shared"}};
    const PathMap map("/home/u/", session, server);

    PathMap::Target t = map.map("/docs/a.txt");
    EXPECT_EQ(t.physical, "/home/u/docs/a.txt");
    EXPECT_EQ(t.base, "/home/u");
    EXPECT_TRUE(map.map("/").isMountPoint);
    EXPECT_EQ(map.map("/").physical, "/home/u");

    t = map.map("/pub");
    EXPECT_EQ(t.physical, "/srv/pub"); // the session's folder wins over the server-wide one
    EXPECT_TRUE(t.isMountPoint);
    EXPECT_EQ(map.map("/pub/f").physical, "/srv/pub/f");
    EXPECT_FALSE(map.map("/pub/f").isMountPoint);
    EXPECT_EQ(map.map("/pub/deep/f").physical, "/srv/deep/f"); // the longest match
    EXPECT_EQ(map.map("/pubx").physical, "/home/u/pubx");
    EXPECT_EQ(map.map("/x/shared/y").physical, "/srv/shared/y");

    QStringList names;
    for (const auto& m : map.mountsIn("/"))
        names << m.clientPath;
    EXPECT_EQ(names, QStringList{"/pub"}); // invalid names are never mounted
    EXPECT_TRUE(PathMap("", {}, {}).map("/a").physical.isEmpty());
}

TEST(PathMap, ConfinementFollowsSymbolicLinks)
{
    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    QDir().mkpath(home + "/sub");
    QFile(dir.filePath("outside.txt")).open(QIODevice::WriteOnly);
    QFile(home + "/sub/in.txt").open(QIODevice::WriteOnly);
    QFile::link(dir.path(), home + "/out");
    QFile::link(home + "/sub", home + "/in");
    QFile::link(dir.filePath("nothing-here"), home + "/dangling");
    const PathMap map(home, {}, {});

    EXPECT_EQ(Beneath::confinedPath(map.map("/sub/in.txt"), false), home + "/sub/in.txt");
    EXPECT_EQ(Beneath::confinedPath(map.map("/in/in.txt"), false), home + "/in/in.txt");
    EXPECT_TRUE(Beneath::confinedPath(map.map("/out/outside.txt"), false).isEmpty());
    EXPECT_TRUE(Beneath::confinedPath(map.map("/out"), false).isEmpty());
    // Paths still to be created: fine inside, refused through a link out or a dangling link.
    EXPECT_TRUE(Beneath::confinedPath(map.map("/sub/new.txt"), false).isEmpty());
    EXPECT_EQ(Beneath::confinedPath(map.map("/sub/new.txt"), true), home + "/sub/new.txt");
    EXPECT_TRUE(Beneath::confinedPath(map.map("/out/new.txt"), true).isEmpty());
    EXPECT_TRUE(Beneath::confinedPath(map.map("/dangling"), true).isEmpty());
    EXPECT_TRUE(Beneath::confinedPath(map.map("/missing/new.txt"), true).isEmpty());
    // A NUL would end the name in the system's calls: "..\0x" must not climb as "..".
    EXPECT_TRUE(Beneath::confinedPath(map.map(QString::fromUtf8("/..\0x", 6)), true).isEmpty());
    // A home that is itself reached through a link still confines by its real place.
    QFile::link(home, dir.filePath("homelink"));
    const PathMap viaLink(dir.filePath("homelink"), {}, {});
    EXPECT_FALSE(Beneath::confinedPath(viaLink.map("/sub/in.txt"), false).isEmpty());
    EXPECT_TRUE(Beneath::confinedPath(viaLink.map("/out/outside.txt"), false).isEmpty());
}
