// A stored file with a line longer than its format can hold (a 100 MB line,
// junk appended) is damaged: reported once, as an unreadable file is, and
// what depends on it grants nothing.
#include "core/ErrorTexts.h"
#include "core/ProcessState.h"
#include "core/VirtualFolderMap.h"
#include "tests/session/SessionFixture.h"

#include <QFile>
#include <functional>

class HugeFiles : public SessionTest {
protected:
    // The bytes, then zeros up to 100 MB: one line without an end, on no disk space.
    void writeHuge(const QString& tail, const QByteArray& start = {}) const
    {
        home.write(tail, start);
        QFile file(home.file(tail));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(100'000'000));
    }
};

TEST_F(HugeFiles, AreDamagedAndReportedOnce)
{
    writeBob();
    const QString damaged = LineTooLongText();
    const QByteArray map = VirtualFolderMapBytes(
        {{QStringLiteral("pub"), QStringLiteral("/"), home.file(QStringLiteral("/root/pub")), QStringLiteral("/srv")}});
    struct Row {
        const char* tail;
        QByteArray start;
        std::function<void(FakeFtpUser&)> act;
        QString told;
    };
    const Row rows[] = {
        // Read at every command of a staff session.
        {"/groups/G_staff", {},
         [this](FakeFtpUser& bob) {
             QString command = QStringLiteral("NOOP"), parameters;
             bool cancel = true;
             handlers.IFtpEngineNotify_UserCommand(bob, command, parameters, cancel);
             EXPECT_EQ(ModMain::CurrentGroup.RootFolder, QStringLiteral("unchanged"));
         },
         damaged + QStringLiteral("\nin Quayport.ModMain.GetGroup at line 3")},
        {"/users/U_bob", {},
         [this](FakeFtpUser&) {
             auto again = session(QStringLiteral("bob"));
             bool cancel = false;
             QString message;
             handlers.IFtpEngineNotify_UserLogin(*again, cancel, message);
             EXPECT_EQ(again->replies, QStringList{QStringLiteral("530 Invalid password.")});
         },
         damaged + QStringLiteral("\nin Quayport.frmMain.IFtpEngineNotify_UserLogin at line 5")},
        // The records before the junk still count.
        {"/VirtMap.dat", map,
         [this](FakeFtpUser&) {
             auto again = session(QStringLiteral("bob"));
             login(*again);
             EXPECT_EQ(again->VirtualFolderList().Count(), 1);
         },
         damaged + QStringLiteral("\nin Quayport.frmMain.IFtpEngineNotify_UserLogin at line 13")},
        {"/users/stats/bob.Sent_File_Count.txt", "41",
         [this](FakeFtpUser& bob) {
             QFile(home.file(QStringLiteral("/root/a.bin"))).open(QIODevice::WriteOnly);
             handlers.IFtpEngineNotify_TransferFinished(bob, home.file(QStringLiteral("/root/a.bin")), 0, true);
             EXPECT_EQ(fileLines(QStringLiteral("/users/stats/bob.Sent_File_Count.txt")),
                       QStringList{QStringLiteral("1")});
         },
         damaged + QStringLiteral(": bob.Sent_File_Count.txt\nin Quayport.frmMain.IFtpEngineNotify_TransferFinished "
                                  "at line 5")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tail);
        writeBob();
        auto bob = session(QStringLiteral("bob"));
        login(*bob);
        ModMain::CurrentGroup.RootFolder = QStringLiteral("unchanged");
        writeHuge(QString::fromLatin1(row.tail), row.start);
        doubles.errors->reports.clear();
        row.act(*bob);
        EXPECT_EQ(doubles.errors->reports, QStringList{row.told});
        QFile::remove(home.file(QString::fromLatin1(row.tail)));
    }
}
