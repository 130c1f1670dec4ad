// The virtual folder map: the exact bytes the writer gives, round trips, and
// readers that end on reads that fail.
#include "core/ProcessState.h"
#include "core/TextCipher.h"
#include "core/VirtualFolderMap.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/Unprivileged.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const QByteArray Header = QUAYPORT_VERSION_TEXT "*********************\r\n**   Virtual Directory  **\r\n"
                          "**   Configuration file **\r\n**************************\r\n";

// Lines that are never at their end and never read.
class FailingLines final : public MapLineSource {
public:
    bool atEnd() const override { return reads > 1000; }
    std::optional<QString> readLine() override
    {
        ++reads;
        return std::nullopt;
    }
    int reads = 0;
};

} // namespace

TEST(VirtualFolderMap, WritesHeaderAndEncipheredRecordsAndReadsThemBack)
{
    TempAppFolder home;
    ModMain::VersionText = QStringLiteral(QUAYPORT_VERSION_TEXT);
    ASSERT_TRUE(WriteVirtualFolderMap({}));
    EXPECT_EQ(home.read(QStringLiteral("/VirtMap.dat")), Header);
    EXPECT_TRUE(ReadVirtualFolderMap([](const QString&) { ADD_FAILURE(); }).isEmpty());

    const VirtualFolderRecord pub{QStringLiteral("  pub "), QStringLiteral("/"), home.file(QStringLiteral("/root")),
                                  QStringLiteral("/srv/caf\u00e9")};
    const VirtualFolderRecord blank{QString(), QStringLiteral("/a/b"), QStringLiteral("/r/a/b"), QString()};
    const QList<VirtualFolderRecord> records{pub, blank, pub};
    ASSERT_TRUE(WriteVirtualFolderMap(records));
    QByteArray expected = Header;
    for (const VirtualFolderRecord& r : records)
        for (const QString& field : {r.Name, r.VirtualPath, r.SourceFolder, r.RealFolder})
            expected += ModMain::Encipher(field).toLatin1() + "\r\n";
    EXPECT_EQ(home.read(QStringLiteral("/VirtMap.dat")), expected);
    EXPECT_EQ(ReadVirtualFolderMap([](const QString&) { ADD_FAILURE(); }), records);

    // Another header is read past; a record cut short is reported per line and dropped.
    QFile::remove(home.file(QStringLiteral("/VirtMap.dat")));
    home.write(QStringLiteral("/virtmap.dat"), "9.9*\r\nx\r\ny\r\nz\r\n" + expected.mid(Header.size()) + "AAAA\r\n");
    int missing = 0;
    EXPECT_EQ(ReadVirtualFolderMap([&](const QString&) { ++missing; }), records);
    EXPECT_EQ(missing, 3);
}

TEST(VirtualFolderMap, AReadThatFailsWithoutAdvancingEndsTheMap)
{
    FailingLines lines;
    int missing = 0;
    EXPECT_TRUE(ReadVirtualFolderRecords(lines, [&](const QString&) { ++missing; }).isEmpty());
    EXPECT_EQ(lines.reads, 5); // the header's four lines, then the first record's first
    EXPECT_EQ(missing, 5);
}

TEST(VirtualFolderMap, AFailedWriteKeepsTheOldFile)
{
    TempAppFolder home;
    home.write(QStringLiteral("/VirtMap.dat"), Header);
    MakeReadOnlyForOthers(home.path());
    const QList<VirtualFolderRecord> one{{QStringLiteral("x"), QStringLiteral("/"), QStringLiteral("/"), QString()}};
    EXPECT_EXIT(
        {
            BecomeUnprivileged();
            std::exit(WriteVirtualFolderMap(one) ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(home.read(QStringLiteral("/VirtMap.dat")), Header);
}
