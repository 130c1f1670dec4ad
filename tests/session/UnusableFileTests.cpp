// Program files that cannot be used as they are: a FIFO or a folder in a
// file's place is refused at once, and a line longer than its format holds
// marks the file damaged; either is reported, and nothing is granted by it.
#include "core/Config.h"
#include "core/ErrorTexts.h"
#include "core/RegularFile.h"
#include "core/ServerLog.h"
#include "core/VirtualFolderMap.h"
#include "tests/session/SessionFixture.h"

#include <QFile>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

class UnusableFiles : public SessionTest {
protected:
    struct Row {
        const char* tail;
        QByteArray start; // FIFO rows: empty; folder rows: "/"; else the file's start before 100 MB of zeros
        std::function<void()> act;
        QString told; // in every report, box and returned failure
    };
    void SetUp() override { writeBob(); }
    // bob's login, then what is done in his session.
    void act(const std::function<void(FakeFtpUser&)>& what)
    {
        const auto bob = session(QStringLiteral("bob"));
        bool cancel = false;
        QString message;
        handlers.IFtpEngineNotify_UserLogin(*bob, cancel, message);
        bob->state = FtpUser::Connected;
        try {
            what(*bob);
        } catch (const std::exception& e) {
            doubles.errors->reports.append(QString::fromUtf8(e.what()));
        }
    }
    void transfer()
    {
        const QString gone = home.file(QStringLiteral("/gone"));
        act([&](FakeFtpUser& u) { handlers.IFtpEngineNotify_TransferFinished(u, gone, 0, true); });
    }
    void check(const Row& row)
    {
        SCOPED_TRACE(std::string(row.tail) + " " + row.start.left(1).toStdString());
        const QByteArray path = QFile::encodeName(home.file(QString::fromLatin1(row.tail)));
        ::unlink(path.constData());
        // A FIFO's both ends are held: an open that waited for one would go through and write into it.
        int fifo = -1;
        if (row.start.isEmpty()) {
            ASSERT_EQ(::mkfifo(path.constData(), 0666), 0);
            fifo = ::open(path.constData(), O_RDWR | O_NONBLOCK);
        } else if (row.start == "/") {
            ASSERT_EQ(::mkdir(path.constData(), 0777), 0);
        } else {
            home.write(QString::fromLatin1(row.tail), row.start);
            ASSERT_EQ(::truncate(path.constData(), 100'000'000), 0);
        }
        doubles.errors->reports.clear();
        doubles.messages->messages.clear();
        row.act();
        const QString told = (doubles.errors->reports + doubles.messages->texts()).join(QLatin1Char('\n'));
        EXPECT_TRUE(told.contains(row.told)) << told.toStdString();
        struct stat st {};
        EXPECT_EQ(::lstat(path.constData(), &st), 0);
        if (fifo >= 0) {
            char byte;
            EXPECT_TRUE(S_ISFIFO(st.st_mode));
            EXPECT_EQ(::read(fifo, &byte, 1), -1); // nothing was written into it
            ::close(fifo);
        }
        row.start == "/" ? ::rmdir(path.constData()) : ::unlink(path.constData());
        writeBob();
    }
};

TEST_F(UnusableFiles, SpecialFilesAreRefusedWithoutWaiting)
{
    const QString fifo = NotRegularFileText() + QStringLiteral("\nin Quayport.");
    const auto event = [] { ModMain::WriteServerEvent(QStringLiteral("e"), false); };
    const auto login = [this] { act([](FakeFtpUser&) {}); };
    const Row rows[] = {
        {"/logs/S_Log.txt", {}, event, fifo + "ModMain.WriteServerLog at line 5"},
        {"/logs/U_bob.txt", {}, login, fifo + "frmMain.WriteLogs at line 7"},
        {"/logs/anonymous_passwords.txt", {}, [] { ModMain::WriteAnonymousLog(QStringLiteral("a@b")); },
         fifo + "ModMain.WriteAnonymousLog at line 2"},
        {"/users/stats/Trend_bob.txt", {},
         [this] { act([this](FakeFtpUser& u) { handlers.IFtpEngineNotify_UserLogout(u); }); },
         fifo + "frmMain.IFtpEngineNotify_UserLogout"},
        {"/users/stats/bob.Sent_File_Count.txt", {}, [this] { transfer(); },
         NotRegularFileText() + ": bob.Sent_File_Count.txt"},
        {"/users/stats/.bob.Sent_File_Count.txt.swap", {},
         [this] {
             home.write(QStringLiteral("/users/stats/bob.Sent_File_Count.txt"), "4");
             transfer();
         },
         NotRegularFileText()},
        {"/users/U_bob", {},
         [this] { act([](FakeFtpUser& u) { EXPECT_TRUE(u.holdsKill()); }); },
         fifo + "frmMain.IFtpEngineNotify_UserLogin at line 5"},
        {"/groups/G_staff", {}, [] { ModMain::GetGroup(QStringLiteral("staff")); },
         fifo + "ModMain.GetGroup at line 3"},
        {"/VirtMap.dat", {}, login, fifo + "frmMain.IFtpEngineNotify_UserLogin at line 13"},
        {"/Config.txt", {}, [] { ModMain::SaveConfig(); },
         QStringLiteral("Error: %1, ").arg(EINVAL) + NotRegularFileText()},
        {"/logs/S_Log.txt", "/", event,
         QString::fromLocal8Bit(strerror(EISDIR)) + "\nin Quayport.ModMain.WriteServerLog"},
    };
    for (const Row& row : rows)
        check(row);
}

TEST_F(UnusableFiles, ALineLongerThanTheFormatHoldsMarksTheFileDamaged)
{
    const QString damaged = LineTooLongText();
    const QString where = damaged + QStringLiteral("\nin Quayport.frmMain.IFtpEngineNotify_UserLogin at line ");
    const QByteArray map = VirtualFolderMapBytes(
        {{QStringLiteral("pub"), QStringLiteral("/"), home.file(QStringLiteral("/root/pub")), QStringLiteral("/srv")}});
    const auto command = [this](FakeFtpUser& u) {
        QString name = QStringLiteral("NOOP"), parameters;
        bool cancel = false;
        handlers.IFtpEngineNotify_UserCommand(u, name, parameters, cancel);
    };
    ModMain::CurrentGroup.RootFolder = QStringLiteral("kept");
    const Row rows[] = {
        // Read at every command of a staff session; nothing of it is taken.
        {"/groups/G_staff", "x",
         [&] {
             act(command);
             EXPECT_EQ(ModMain::CurrentGroup.RootFolder, QStringLiteral("kept"));
         },
         damaged + "\nin Quayport.ModMain.GetGroup at line 3"},
        {"/users/U_bob", "x", [this] { act([](FakeFtpUser& u) { EXPECT_TRUE(u.holdsKill()); }); }, where + "5"},
        // The records before the junk still count.
        {"/VirtMap.dat", map, [this] { act([](FakeFtpUser& u) { EXPECT_EQ(u.VirtualFolderList().Count(), 1); }); },
         where + "13"},
        {"/users/stats/bob.Sent_File_Count.txt", "41",
         [this] {
             transfer();
             EXPECT_EQ(fileLines(QStringLiteral("/users/stats/bob.Sent_File_Count.txt")).value(0), QStringLiteral("1"));
         },
         damaged + ": bob.Sent_File_Count.txt\nin Quayport.frmMain.IFtpEngineNotify_TransferFinished at line 5"},
    };
    for (const Row& row : rows)
        check(row);
}
