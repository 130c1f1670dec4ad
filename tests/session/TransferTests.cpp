// Finished transfers: the empty upload, the counter files and the session's
// own counters.
#include "core/FileNameBytes.h"
#include "core/ProgramError.h"
#include "tests/session/SessionFixture.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

class Transfers : public SessionTest {
protected:
    void SetUp() override
    {
        writeBob();
        user = session(QStringLiteral("bob"));
        login(*user);
    }
    QString put(const QString& name, qint64 size)
    {
        const QString path = home.file(QStringLiteral("/root/") + name);
        // By the name's own bytes, which need not be UTF-8.
        const int fd = ::open(FileNameBytes::encode(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::ftruncate(fd, size), 0); // sparse: no data written
        ::close(fd);
        user->uploadedFile = path; // as if the session's upload wrote it
        return path;
    }
    void finished(const QString& path, qint32 direction, bool successful)
    {
        handlers.IFtpEngineNotify_TransferFinished(*user, path, direction, successful);
    }
    QStringList counter(const char* suffix) const
    {
        return fileLines(QStringLiteral("/users/stats/bob") + QLatin1String(suffix));
    }
    QStringList one(qint64 value) const { return QStringList{QString::number(value)}; }

    std::unique_ptr<FakeFtpUser> user;
};

TEST_F(Transfers, EmptyUploadRemovedAndLoggedWhileTheSettingIsOn)
{
    const QString path = put(QStringLiteral("empty.txt"), 0);
    finished(path, 0, true);
    EXPECT_FALSE(QFile::exists(path));
    const LogRecord last = records(QStringLiteral("/logs/S_Log.txt")).last();
    EXPECT_EQ(last.Message, QStringLiteral("Removing 0 byte file ") + path);
    EXPECT_EQ(last.Group, QStringLiteral("staff"));
    EXPECT_TRUE(doubles.consoleLog.rows.last().endsWith(QStringLiteral("Removing 0 byte file ") + path));
    EXPECT_EQ(counter(".Sent_File_Count.txt"), one(1));
    EXPECT_EQ(counter(".Sent_File_Size.txt"), one(0));
    EXPECT_EQ(counter(".Transfered_File_Count.txt"), one(1));
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::None);

    ModMain::ServerConfig.Put0Byte = false;
    const QString kept = put(QStringLiteral("kept.txt"), 0);
    const int logged = records(QStringLiteral("/logs/S_Log.txt")).size();
    finished(kept, 0, true);
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_EQ(records(QStringLiteral("/logs/S_Log.txt")).size(), logged);
    EXPECT_EQ(counter(".Sent_File_Count.txt"), one(2));
}

// A name whose bytes are not UTF-8, as the engine keeps it: its file is
// measured as any other, and the log shows each such byte as its
// Windows-1252 character.
TEST_F(Transfers, NamesThatAreNotUtf8AreMeasuredAndShownByTheirBytes)
{
    const QString latin = FileNameBytes::decode("caf\xe9.txt");
    const QString removal = "Removing 0 byte file " + home.file("/root/") + QString::fromUtf8("caf\xc3\xa9.txt");
    for (const qint64 size : {7, 0}) {
        finished(put(latin, size), 0, true);
        EXPECT_EQ(counter(".Sent_File_Size.txt"), one(7));
        EXPECT_EQ(messages(QStringLiteral("/logs/S_Log.txt")).last() == removal, size == 0);
    }
    user->physicalPaths[latin] = put(latin, 1500);
    bool cancel = false;
    QString message, name = latin;
    handlers.IFtpEngineNotify_DeleteFile(*user, name, cancel, message);
    EXPECT_EQ(record(*user)->PendingFileSize, 1500);
}

TEST_F(Transfers, FailedOrDownloadedEmptyFilesAreNeverRemoved)
{
    const QString path = put(QStringLiteral("empty.txt"), 0);
    finished(path, 0, false);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(home.exists(QStringLiteral("/users/stats/bob.Sent_File_Count.txt")));
    EXPECT_FALSE(home.exists(QStringLiteral("/users/stats/bob.Transfered_File_Count.txt")));
    EXPECT_FALSE(home.exists(QStringLiteral("/logs/S_Log.txt"))
                 && messages(QStringLiteral("/logs/S_Log.txt")).last().startsWith(QStringLiteral("Removing")));

    finished(path, 1, true);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(counter(".Received_File_Count.txt"), one(1));
    EXPECT_EQ(counter(".Transfered_File_Count.txt"), one(1));
    EXPECT_EQ(record(*user)->FilesReceived, 1);

    // Neither upload nor download: only the Transfered pair.
    finished(put(QStringLiteral("odd.bin"), 7), 2, true);
    EXPECT_EQ(counter(".Transfered_File_Count.txt"), one(2));
    EXPECT_EQ(counter(".Transfered_File_Size.txt"), one(7));
    EXPECT_EQ(counter(".Received_File_Count.txt"), one(1));
    EXPECT_FALSE(home.exists(QStringLiteral("/users/stats/bob.Sent_File_Count.txt")));
}

TEST_F(Transfers, UploadMissingAfterwardsCountsAsEmpty)
{
    const QString path = home.file(QStringLiteral("/root/vanished.txt"));
    finished(path, 0, true);
    EXPECT_EQ(messages(QStringLiteral("/logs/S_Log.txt")).last(), QStringLiteral("Removing 0 byte file ") + path);
    EXPECT_EQ(counter(".Sent_File_Count.txt"), one(1));
    EXPECT_EQ(counter(".Transfered_File_Count.txt"), one(1));
}

TEST_F(Transfers, CounterFilesAddUpAndTheSessionFollows)
{
    home.write(QStringLiteral("/users/stats/bob.Sent_File_Count.txt"), "41\r\n");
    home.write(QStringLiteral("/users/stats/bob.Sent_File_Size.txt"), "1000\r\nignored\r\n");
    record(*user)->FilesSent = 3;
    finished(put(QStringLiteral("a.bin"), 500), 0, true);
    EXPECT_EQ(counter(".Sent_File_Count.txt"), one(42));
    EXPECT_EQ(counter(".Sent_File_Size.txt"), one(1500));
    EXPECT_EQ(record(*user)->FilesSent, 4);
    EXPECT_EQ(record(*user)->BytesSent, 500);
    EXPECT_EQ(record(*user)->FilesTransfered, 1);
    EXPECT_EQ(record(*user)->BytesTransfered, 500);

    // A count file that went away during the session starts again at 1.
    QFile::remove(home.file(QStringLiteral("/users/stats/bob.Sent_File_Count.txt")));
    finished(put(QStringLiteral("b.bin"), 1), 0, true);
    EXPECT_EQ(counter(".Sent_File_Count.txt"), one(1));
    EXPECT_EQ(record(*user)->FilesSent, 1);
}

TEST_F(Transfers, UnreadableCounterFilesAreReadAsZeroAndRewritten)
{
    home.write(QStringLiteral("/users/stats/bob.Sent_File_Count.txt"), " \r\n");
    home.write(QStringLiteral("/users/stats/bob.Sent_File_Size.txt"), "");
    home.write(QStringLiteral("/users/stats/bob.Transfered_File_Count.txt"), "lots\r\n");
    finished(put(QStringLiteral("a.bin"), 10), 0, true);
    EXPECT_EQ(counter(".Sent_File_Count.txt"), one(1));
    EXPECT_EQ(counter(".Sent_File_Size.txt"), one(10));
    EXPECT_EQ(counter(".Transfered_File_Count.txt"), one(1));
    EXPECT_EQ(counter(".Transfered_File_Size.txt"), one(10));
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::None);
}

TEST_F(Transfers, ACounterThatHeldNoNumberIsRewrittenAndWhatItHeldIsReported)
{
    const QString where = QStringLiteral("\nin Quayport.frmMain.IFtpEngineNotify_TransferFinished at line 5");
    const struct {
        QByteArray content;
        QString told;
    } rows[] = {
        {"41 junk\r\n", QStringLiteral("Type mismatch: bob.Sent_File_Count.txt held \"41 junk\"")},
        {"", QStringLiteral("Input past end of file: bob.Sent_File_Count.txt held \"\"")},
        {QByteArray("\0\0\r\n", 4), QStringLiteral("Type mismatch: bob.Sent_File_Count.txt held \"\\x00\\x00\"")},
        {"  \r\n7\r\n", QStringLiteral("Type mismatch: bob.Sent_File_Count.txt held \"  \"")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.told.toStdString());
        home.write(QStringLiteral("/users/stats/bob.Sent_File_Count.txt"), row.content);
        doubles.errors->reports.clear();
        finished(put(QStringLiteral("a.bin"), 10), 0, true);
        EXPECT_EQ(counter(".Sent_File_Count.txt"), one(1));
        EXPECT_EQ(doubles.errors->reports, QStringList{row.told + where});
    }
}

TEST_F(Transfers, AThreeGibibyteUploadIsCountedNotRemoved)
{
    const qint64 size = Q_INT64_C(3) << 30;
    const QString path = put(QStringLiteral("big.iso"), size);
    finished(path, 0, true);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(counter(".Sent_File_Size.txt"), one(size));
    EXPECT_EQ(counter(".Transfered_File_Size.txt"), one(size));
    EXPECT_EQ(record(*user)->BytesSent, size);
    finished(path, 1, true);
    EXPECT_EQ(counter(".Transfered_File_Size.txt"), one(2 * size));
    EXPECT_EQ(record(*user)->BytesTransfered, 2 * size);
    EXPECT_EQ(record(*user)->BytesReceived, size);
}

TEST_F(Transfers, ACounterThatCannotBeUpdatedEndsTheNotification)
{
    home.write(QStringLiteral("/users/stats/bob.Sent_File_Size.txt"), "9223372036854775807\r\n");
    EXPECT_THROW(finished(put(QStringLiteral("a.bin"), 1), 0, true), ProgramError);
    EXPECT_EQ(counter(".Sent_File_Count.txt"), one(1));
    EXPECT_EQ(counter(".Sent_File_Size.txt"), one(Q_INT64_C(9223372036854775807)));
    EXPECT_FALSE(home.exists(QStringLiteral("/users/stats/bob.Transfered_File_Count.txt")));
    EXPECT_EQ(record(*user)->PendingOpCode, PendingOp::Transfer);

    QDir(home.file(QStringLiteral("/users/stats"))).removeRecursively();
    EXPECT_THROW(finished(put(QStringLiteral("b.bin"), 1), 1, true), ProgramError);
    EXPECT_TRUE(doubles.errors->reports.isEmpty());
}

TEST_F(Transfers, NoRecordIsReported)
{
    auto killed = session(QStringLiteral("bob"));
    killed->SetSessionData(QStringLiteral("kill"));
    const QString path = put(QStringLiteral("empty.txt"), 0);
    handlers.IFtpEngineNotify_TransferFinished(*killed, path, 0, true);
    ASSERT_EQ(doubles.errors->reports.size(), 1);
    EXPECT_TRUE(doubles.errors->reports[0].contains(
        QStringLiteral("in Quayport.frmMain.IFtpEngineNotify_TransferFinished at line 1")));
    EXPECT_FALSE(home.exists(QStringLiteral("/users/stats/bob.Sent_File_Count.txt")));
}

// Where the engine knows what a transfer moved, that is counted, not the
// size of whatever the name holds afterwards; an empty upload is removed
// through the engine, which removes only the file that upload wrote.
TEST_F(Transfers, WhatTheTransferMovedIsCountedAndOnlyItsOwnEmptyFileRemoved)
{
    struct Row {
        const char* name;
        qint64 onDisk;   // the file's size afterwards; -1: gone (renamed away)
        qint64 moved;    // what the engine moved
        qint32 direction;
        bool uploadsOwn; // the name still holds the file the upload wrote
        bool removalLogged;
        bool stays;
    };
    const Row rows[] = {
        {"tail.bin", Q_INT64_C(5) << 30, 8, 1, false, false, true},         // REST download of the last bytes
        {"resumed.bin", Q_INT64_C(4500000032), 32, 0, true, false, true},   // REST 4500000000 + 32 bytes
        {"renamed.bin", -1, 8 << 20, 0, false, false, false},               // renamed away mid-transfer
        {"appended.bin", 10, 0, 0, true, false, true},                      // APPE of nothing to a file
        {"taken.bin", 0, 0, 0, false, true, true},                          // another file holds the name by now
        {"empty.bin", 0, 0, 0, true, true, false},                          // the upload's own empty file
    };
    qint64 sent = 0;
    qint64 received = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QString path = home.file(QStringLiteral("/root/") + QLatin1String(row.name));
        if (row.onDisk >= 0)
            path = put(QLatin1String(row.name), row.onDisk);
        user->uploadedFile = row.uploadsOwn ? path : QString();
        user->transferBytes = row.moved;
        const qsizetype logged = messages(QStringLiteral("/logs/S_Log.txt")).size();
        finished(path, row.direction, true);
        const bool upload = row.direction == 0;
        (upload ? sent : received) += row.moved;
        EXPECT_EQ(counter(upload ? ".Sent_File_Size.txt" : ".Received_File_Size.txt"), one(upload ? sent : received));
        EXPECT_EQ(messages(QStringLiteral("/logs/S_Log.txt")).size() - logged, row.removalLogged ? 1 : 0);
        EXPECT_EQ(QFile::exists(path), row.stays);
    }
    EXPECT_EQ(record(*user)->BytesTransfered, sent + received);
}
