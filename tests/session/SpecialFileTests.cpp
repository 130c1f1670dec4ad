// A FIFO or a folder where one of the program's own files belongs: each open
// of it is refused at once and reported, nothing is written into it, and the
// FIFO stays as it was.
#include "core/Config.h"
#include "core/ProgramError.h"
#include "core/RegularFile.h"
#include "core/ServerLog.h"
#include "tests/session/SessionFixture.h"

#include <QFile>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A FIFO with both ends held open by the test: an open that waits for the
// other end would go through at once, and what it wrote would stay inside.
class HeldFifo {
public:
    explicit HeldFifo(const QString& path)
        : m_path(QFile::encodeName(path))
    {
        EXPECT_EQ(::mkfifo(m_path.constData(), 0666), 0) << m_path.constData();
        m_fd = ::open(m_path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        EXPECT_GE(m_fd, 0);
    }
    ~HeldFifo() { ::close(m_fd); }
    QByteArray written() const
    {
        QByteArray all;
        char buffer[4096];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;)
            all.append(buffer, n);
        return all;
    }
    bool stillAFifo() const
    {
        struct stat st {};
        return ::lstat(m_path.constData(), &st) == 0 && S_ISFIFO(st.st_mode);
    }

private:
    QByteArray m_path;
    int m_fd = -1;
};

} // namespace

class SpecialFiles : public SessionTest {
protected:
    // Everything the program told: reports, boxes and the failure a handler returned.
    QString told() const
    {
        QStringList all = doubles.errors->reports + doubles.messages->texts();
        all.append(thrown);
        return all.join(QLatin1Char('\n'));
    }
    void loginBob()
    {
        bob = session(QStringLiteral("bob"));
        bool cancel = false;
        QString message;
        handlers.IFtpEngineNotify_UserLogin(*bob, cancel, message);
        bob->state = FtpUser::Connected;
    }
    void transfer()
    {
        loginBob();
        QFile(home.file(QStringLiteral("/root/a.bin"))).open(QIODevice::WriteOnly);
        try {
            handlers.IFtpEngineNotify_TransferFinished(*bob, home.file(QStringLiteral("/root/a.bin")), 1, true);
        } catch (const ProgramError& e) {
            thrown = e.description();
        }
    }

    std::unique_ptr<FakeFtpUser> bob;
    QString thrown;
};

TEST_F(SpecialFiles, AreRefusedAndReportedWithoutWaiting)
{
    const QString notAFile = NotRegularFileText();
    const QString folder = QString::fromLocal8Bit(strerror(EISDIR));
    struct Row {
        const char* tail;
        bool isFolder;
        std::function<void()> act;
        QString expected; // in what the program told
    };
    const Row rows[] = {
        {"/logs/S_Log.txt", false, [] { ModMain::WriteServerEvent(QStringLiteral("event"), false); },
         notAFile + QStringLiteral("\nin Quayport.ModMain.WriteServerLog at line 5")},
        {"/logs/U_bob.txt", false, [this] { loginBob(); },
         notAFile + QStringLiteral("\nin Quayport.frmMain.WriteLogs at line 7")},
        {"/logs/G_staff.txt", false, [this] { loginBob(); },
         notAFile + QStringLiteral("\nin Quayport.frmMain.WriteLogs at line 7")},
        {"/logs/anonymous_passwords.txt", false,
         [] { ModMain::WriteAnonymousLog(QStringLiteral("a@example.org")); },
         notAFile + QStringLiteral("\nin Quayport.ModMain.WriteAnonymousLog at line 2")},
        {"/users/stats/Trend_bob.txt", false,
         [this] {
             loginBob();
             handlers.IFtpEngineNotify_UserLogout(*bob);
         },
         notAFile + QStringLiteral("\nin Quayport.frmMain.IFtpEngineNotify_UserLogout")},
        {"/users/stats/bob.Received_File_Count.txt", false, [this] { transfer(); },
         notAFile + QStringLiteral(": bob.Received_File_Count.txt\nin Quayport.frmMain.IFtpEngineNotify_TransferFinished "
                                   "at line 6")},
        {"/users/stats/.bob.Received_File_Count.txt.swap", false, [this] { transfer(); }, notAFile},
        {"/users/U_bob", false, [this] { loginBob(); },
         notAFile + QStringLiteral("\nin Quayport.frmMain.IFtpEngineNotify_UserLogin at line 5")},
        {"/groups/G_staff", false,
         [] { ModMain::GetGroup(QStringLiteral("staff")); },
         notAFile + QStringLiteral("\nin Quayport.ModMain.GetGroup at line 3")},
        {"/VirtMap.dat", false, [this] { loginBob(); },
         notAFile + QStringLiteral("\nin Quayport.frmMain.IFtpEngineNotify_UserLogin at line 13")},
        {"/Config.txt", false, [] { ModMain::SaveConfig(); },
         QStringLiteral("Error: %1, %2").arg(EINVAL).arg(notAFile)},
        {"/logs/S_Log.txt", true, [] { ModMain::WriteServerEvent(QStringLiteral("event"), false); },
         folder + QStringLiteral("\nin Quayport.ModMain.WriteServerLog at line 5")},
        {"/Config.txt", true, [] { ModMain::SaveConfig(); },
         QStringLiteral("Error: %1, %2").arg(EISDIR).arg(folder)},
    };
    writeBob();
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.tail) + (row.isFolder ? " (folder)" : " (FIFO)"));
        doubles.errors->reports.clear();
        doubles.messages->messages.clear();
        thrown.clear();
        const QString tail = QString::fromLatin1(row.tail);
        if (tail.endsWith(QLatin1String(".swap")))
            home.write(QStringLiteral("/users/stats/bob.Received_File_Count.txt"), "41\r\n");
        const QString path = home.file(tail);
        QFile::remove(path);
        std::unique_ptr<HeldFifo> fifo;
        if (row.isFolder)
            ASSERT_TRUE(QDir().mkpath(path));
        else
            fifo = std::make_unique<HeldFifo>(path);

        row.act();
        EXPECT_TRUE(told().contains(row.expected)) << told().toStdString();
        if (fifo) {
            EXPECT_TRUE(fifo->written().isEmpty());
            EXPECT_TRUE(fifo->stillAFifo());
        } else {
            EXPECT_TRUE(QFileInfo(path).isDir());
        }
        // Nothing that needs the file is granted without it.
        if (tail == QLatin1String("/users/U_bob"))
            EXPECT_EQ(bob->replies, QStringList{QStringLiteral("530 Invalid password.")});
        fifo.reset();
        ASSERT_TRUE(row.isFolder ? QDir().rmdir(path) : QFile::remove(path));
        writeBob();
    }
}
