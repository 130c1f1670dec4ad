#include "engine/ListingSource.h"
#include "engine/OpenUploads.h"
#include "engine/PathBeneath.h"
#include "engine/UploadFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {
QStringList names(const QString& folder)
{
    QStringList out;
    UniqueFd fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ListingSource listed(std::move(fd), [](const QByteArray&, struct stat&) { return false; }, std::nullopt, {});
    while (!listed.read(100)) {
    }
    DirEntry e;
    qint32 left = 0;
    while (listed.take(e, left))
        out << e.name;
    return out;
}

QByteArray content(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}
} // namespace

// A plain upload writes beside its name, unnamed or under a hidden temporary
// that no listing shows, and takes the name (with the old file's access) only
// when it ends; the empty one is removed only while the name holds it.
TEST(UploadFile, WritesBesideAndTakesTheNameAtTheEnd)
{
    for (const UploadFile::Mode mode : {UploadFile::Mode::Replace, UploadFile::Mode::ReplaceNamed}) {
        SCOPED_TRACE(int(mode));
        QTemporaryDir dir;
        const QString path = dir.filePath("f.bin");
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        ::chmod(QFile::encodeName(path).constData(), 0600);
        const PathMap::Target target = PathMap(dir.path(), {}, {}).map("/f.bin");
        auto uploads = std::make_shared<OpenUploads>();
        auto refusal = UploadFile::Refusal::None;

        auto file = UploadFile::open(*Beneath::resolve(target, Beneath::Last::Follow), mode, 0, *uploads, refusal);
        ASSERT_TRUE(file);
        ASSERT_EQ(::write(file->fd(), "new", 3), 3);
        EXPECT_EQ(content(path), "old");
        EXPECT_EQ(names(dir.path()), QStringList{"f.bin"});
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                  mode == UploadFile::Mode::ReplaceNamed ? 2 : 1);
        EXPECT_FALSE(UploadFile::open(*Beneath::resolve(target, Beneath::Last::Follow), UploadFile::Mode::Append, 0,
                                      *uploads, refusal));
        EXPECT_EQ(refusal, UploadFile::Refusal::Busy);

        EXPECT_TRUE(file->finish());
        EXPECT_EQ(content(path), "new");
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(names(dir.path()), QStringList{"f.bin"}); // the old file put aside is no entry either
        file->takeRetired();                                 // and goes with what took it
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"f.bin"});
        EXPECT_FALSE(file->removeIfEmpty()); // not empty

        // An empty one goes, unless the name holds another file by then.
        for (const bool replaced : {true, false}) {
            file.reset(); // its claim goes with it
            file = UploadFile::open(*Beneath::resolve(target, Beneath::Last::Follow), mode, 0, *uploads, refusal);
            ASSERT_TRUE(file && file->finish());
            if (replaced) {
                QFile::remove(path);
                QFile(path).open(QIODevice::WriteOnly);
            }
            EXPECT_EQ(file->removeIfEmpty(), !replaced);
            EXPECT_EQ(QFile::exists(path), replaced);
        }
    }
}
