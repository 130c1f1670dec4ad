#include "engine/ControlPoller.h"
#include "engine/FtpEngine.h"
#include "engine/FtpEnginePrivate.h"
#include "engine/UniqueFd.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QMutex>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <vector>

// The application object comes from the tests' main.
class Engine : public ::testing::Test {};

TEST_F(Engine, DefaultsAndSettings)
{
    FtpEngine engine;
    EXPECT_EQ(engine.ReplyText(9), "211 FTP server status.");
    EXPECT_EQ(engine.ReplyText(11), "220 FTP server ready.");
    EXPECT_EQ(engine.ReplyText(14), "226 Listing complete.");
    EXPECT_EQ(engine.ReplyText(17), "230 Login successful.");
    engine.SetReplyText(14, "550 Access denied.");
    EXPECT_EQ(engine.ReplyText(14), "550 Access denied.");
    EXPECT_FALSE(engine.Listening());
    EXPECT_EQ(engine.Sessions().Count(), 0);
    EXPECT_EQ(engine.Sessions().Item(0), nullptr);
    EXPECT_EQ(engine.Sessions().Item(-1), nullptr);
    QHostAddress local;
    EXPECT_TRUE(local.setAddress(engine.LocalAddress()));
    EXPECT_EQ(local.protocol(), QAbstractSocket::IPv4Protocol);
    engine.VirtualFolderList().Add("pub", "/", "/srv");
    engine.VirtualFolderList().Clear();
    EXPECT_EQ(engine.VirtualFolderList().Count(), 0);
}

TEST_F(Engine, StartAndStopListening)
{
    FtpEngine engine;
    engine.StopListening(); // silent while stopped
    engine.SetListenPort(0);
    ASSERT_TRUE(engine.StartListening()) << engine.LastError().toStdString();
    EXPECT_TRUE(engine.Listening());
    EXPECT_NE(engine.BoundPort(), 0);

    FtpEngine second;
    second.SetListenPort(engine.BoundPort());
    EXPECT_FALSE(second.StartListening());
    EXPECT_FALSE(second.LastError().isEmpty());
    second.SetListenPort(70000);
    EXPECT_FALSE(second.StartListening());

    engine.StopListening();
    EXPECT_FALSE(engine.Listening());
    EXPECT_EQ(engine.BoundPort(), 0);
}

// Hundreds of clients connecting while the engine's thread is busy elsewhere
// wait in the listen queue, not in the kernel's handshake retries; one turn
// of the event loop then greets them all.
TEST_F(Engine, ABurstOfConnectionsWaitsInTheListenQueue)
{
    constexpr int Clients = 300;
    int somaxconn = 0;
    std::ifstream("/proc/sys/net/core/somaxconn") >> somaxconn;
    if (somaxconn < Clients)
        GTEST_SKIP() << "somaxconn is " << somaxconn;
    FtpEngine engine;
    engine.SetListenPort(0);
    ASSERT_TRUE(engine.StartListening()) << engine.LastError().toStdString();
    sockaddr_in server {};
    server.sin_family = AF_INET;
    server.sin_port = htons(engine.BoundPort());
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);

    std::vector<UniqueFd> clients;
    std::vector<pollfd> waiting;
    for (int i = 0; i < Clients; ++i) {
        UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        ASSERT_TRUE(fd.valid());
        const int r = ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&server), sizeof server);
        ASSERT_TRUE(r == 0 || errno == EINPROGRESS) << errno;
        waiting.push_back({fd.get(), POLLOUT, 0});
        clients.push_back(std::move(fd));
    }

    // No event loop runs yet: the kernel alone completes the handshakes, as
    // many as the listen queue holds. A full queue drops the rest for good.
    const auto until = [](int seconds) { return std::chrono::steady_clock::now() + std::chrono::seconds(seconds); };
    int connected = 0;
    for (const auto deadline = until(5); connected < Clients && std::chrono::steady_clock::now() < deadline;) {
        ::poll(waiting.data(), waiting.size(), 50);
        for (pollfd& p : waiting) {
            if (p.fd < 0 || !(p.revents & (POLLOUT | POLLERR | POLLHUP)))
                continue;
            int error = 0;
            socklen_t size = sizeof error;
            ::getsockopt(p.fd, SOL_SOCKET, SO_ERROR, &error, &size);
            if (error == 0)
                ++connected;
            p.fd = -1;
        }
    }
    EXPECT_EQ(connected, Clients);

    int greeted = 0;
    std::vector<pollfd> reading;
    for (const UniqueFd& fd : clients)
        reading.push_back({fd.get(), POLLIN, 0});
    for (const auto deadline = until(30); greeted < connected && std::chrono::steady_clock::now() < deadline;) {
        QCoreApplication::processEvents();
        ::poll(reading.data(), reading.size(), 10);
        for (pollfd& p : reading) {
            if (p.fd < 0 || !(p.revents & POLLIN))
                continue;
            char first[4] = {};
            if (::recv(p.fd, first, 3, 0) == 3 && QByteArray(first) == "220")
                ++greeted;
            p.fd = -1;
        }
    }
    EXPECT_EQ(greeted, connected);
}

namespace {
// A blocking client of the engine on the loopback, for a thread of its own.
class Client {
public:
    explicit Client(quint16 port) : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        const timeval wait{5, 0};
        ::setsockopt(m_fd.get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        ::setsockopt(m_fd.get(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        const int one = 1;
        ::setsockopt(m_fd.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0)
            m_fd.reset();
    }
    bool valid() const { return m_fd.valid(); }
    void send(const QByteArray& data, int flags = 0)
    {
        for (qsizetype sent = 0; sent < data.size();) {
            const ssize_t n = ::send(m_fd.get(), data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL | flags);
            if (n <= 0)
                return;
            sent += n;
        }
    }
    // A small send buffer at the engine's end (it runs in this process): its
    // replies back up as soon as the client leaves a few kilobytes unread.
    void shrinkServerBuffer()
    {
        const int size = 4096;
        sockaddr_in mine {};
        socklen_t length = sizeof mine;
        ::getsockname(m_fd.get(), reinterpret_cast<sockaddr*>(&mine), &length);
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            const int fd = std::atoi(entry.path().filename().c_str());
            sockaddr_in6 peer {}; // both families carry the port at the same place
            length = sizeof peer;
            if (fd != m_fd.get() && ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0
                && (peer.sin6_family == AF_INET || peer.sin6_family == AF_INET6) && peer.sin6_port == mine.sin_port)
                ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        }
    }
    // One reply line; empty once the server has closed (or after 5 s).
    QByteArray line()
    {
        char buffer[4096];
        qsizetype end = m_read.indexOf("\r\n");
        while (end < 0) {
            const ssize_t n = ::recv(m_fd.get(), buffer, sizeof buffer, 0);
            if (n <= 0)
                return std::exchange(m_read, {});
            m_read.append(buffer, n);
            end = m_read.indexOf("\r\n", qMax<qsizetype>(0, m_read.size() - n - 1));
        }
        const QByteArray out = m_read.left(end + 2);
        m_read.remove(0, end + 2);
        return out;
    }
    // Waits until this many bytes have come and are not yet read.
    void awaitUnread(int bytes)
    {
        int unread = 0;
        for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             ::ioctl(m_fd.get(), FIONREAD, &unread) == 0 && unread < bytes && std::chrono::steady_clock::now() < until;)
            std::this_thread::yield();
    }
    // The code of the next reply, of one line or of several.
    QByteArray code()
    {
        QByteArray l = line();
        while (l.size() > 3 && l.at(3) != ' ')
            l = line();
        return l.left(3);
    }
    QByteArray command(const QByteArray& text)
    {
        send(text + "\r\n");
        return line();
    }
    void login()
    {
        line();
        command("USER abuser");
        command("PASS any");
    }
    // A passive data connection for the next transfer command.
    Client data()
    {
        const QByteArray reply = command("EPSV");
        const qsizetype from = reply.indexOf("|||") + 3;
        return Client(quint16(reply.mid(from, reply.indexOf('|', from) - from).toUInt()));
    }
    void halfClose() { ::shutdown(m_fd.get(), SHUT_WR); }
    // Closes with a reset instead of an orderly end.
    void reset()
    {
        const linger now{1, 0};
        ::setsockopt(m_fd.get(), SOL_SOCKET, SO_LINGER, &now, sizeof now);
        m_fd.reset();
    }
    // Reads until the server closes.
    void drain()
    {
        char buffer[65536];
        while (::recv(m_fd.get(), buffer, sizeof buffer, 0) > 0) {
        }
    }

private:
    UniqueFd m_fd;
    QByteArray m_read;
};

QByteArray junk(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

QMutex capturedLock;
QStringList captured;

void capture(QtMsgType, const QMessageLogContext&, const QString& text)
{
    const QMutexLocker lock(&capturedLock);
    captured.append(text);
}
} // namespace

// Clients that send junk, reset their connections or half-close them, on the
// control connection and on data connections, leave the engine nothing to
// complain about: it never reads a socket that Qt has already closed.
TEST_F(Engine, AbusedConnectionsLeaveNoWarnings)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QFile big(root.filePath("big.bin"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(junk(8 * 1024 * 1024));
    big.close();
    FtpEngine engine; // no sink: every login is accepted
    engine.SetDefaultRoot(root.path());
    engine.SetListenPort(0);
    ASSERT_TRUE(engine.StartListening()) << engine.LastError().toStdString();
    const quint16 port = engine.BoundPort();

    captured.clear();
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    std::atomic<bool> finished = false;
    std::thread clients([&] {
        for (int round = 0; round < 8; ++round) {
            {
                Client c(port);
                c.send(junk(3000));
                c.reset();
            }
            {
                Client c(port);
                c.line();
                c.send("USER abuser\r\nPASS any\r\nNOOP\r\n" + junk(100));
                c.reset();
            }
            {
                Client c(port);
                c.send(junk(500) + "\r\nQUIT");
                c.halfClose();
                c.drain();
            }
            {
                Client c(port);
                c.login();
                c.send("NOOP\r\nPWD\r\n");
                c.halfClose();
                c.line();
                c.reset();
            }
            {
                Client c(port);
                c.login();
                Client d = c.data();
                c.send("RETR big.bin\r\n");
                d.line();
                d.reset();
                c.reset();
            }
            {
                Client c(port);
                c.login();
                Client d = c.data();
                c.send("STOR up.bin\r\n");
                d.send(junk(100000));
                c.reset();
                d.send(junk(1000));
            }
            {
                Client c(port);
                c.login();
                Client d = c.data();
                c.send("STOR up.bin\r\n");
                d.send(junk(1000));
                d.halfClose();
                c.send(junk(200));
                c.halfClose();
                c.drain();
            }
            {
                Client c(port);
                c.login();
                Client d = c.data();
                c.send("LIST\r\n");
                d.reset();
                c.send(junk(300) + "\r\n");
                c.reset();
            }
        }
        finished = true;
    });
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    clients.join();
    for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
         engine.Sessions().Count() > 0 && std::chrono::steady_clock::now() < until;)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    qInstallMessageHandler(previous);

    EXPECT_EQ(engine.Sessions().Count(), 0);
    const QMutexLocker lock(&capturedLock);
    EXPECT_TRUE(captured.isEmpty()) << captured.join(QLatin1Char('\n')).toStdString();
}

// What a session's own reading and writing of its socket can get wrong: a
// command in single bytes (one of them urgent), replies left unread while
// commands keep coming (the session stops reading, then goes on in order),
// many connections ending at once, and sessions the program ends while their
// sockets' reports are taken but not yet delivered.
TEST_F(Engine, ControlConnectionsKeepOrderAndEndCleanly)
{
    enum class End { Quit, Mixed, ByTheProgram };
    struct Row {
        const char* name;
        int sessions;
        QByteArray commands; // sent by each session after its login, repeat times
        int repeat;
        bool singleBytes; // one byte per send, the first as urgent data
        bool unread;      // sends them all while the replies back up unread
        End end;
        QList<QByteArray> codes; // the replies to one round of the commands
    };
    const Row rows[] = {
        {"single bytes", 1, "NOOP\r\nPWD\r\n", 3, true, false, End::Quit, {"200", "257"}},
        {"replies unread", 1, "HELP\r\nPWD\r\n", 4000, false, true, End::Quit, {"214", "257"}},
        {"ending at once", 300, "NOOP\r\n", 1, false, false, End::Mixed, {"200"}},
        {"ended with reports pending", 50, "", 0, false, false, End::ByTheProgram, {}},
    };
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FtpEngine engine; // no sink: every login is accepted
        engine.SetDefaultRoot(root.path());
        engine.SetListenPort(0);
        ASSERT_TRUE(engine.StartListening()) << engine.LastError().toStdString();
        const quint16 port = engine.BoundPort();
        captured.clear();
        const QtMessageHandler previous = qInstallMessageHandler(capture);

        std::atomic<bool> loggedIn = false, quiet = false, finished = false;
        QByteArray expected, got;
        for (int i = 0; i < row.sessions * row.repeat; ++i)
            for (const QByteArray& code : row.codes)
                expected += code + ' ';
        std::thread clients([&] {
            std::vector<std::unique_ptr<Client>> all;
            for (int i = 0; i < row.sessions; ++i) {
                all.push_back(std::make_unique<Client>(port));
                all.back()->login();
            }
            loggedIn = true;
            QByteArray script;
            for (int i = 0; i < row.repeat; ++i)
                script += row.commands;
            const qsizetype lines = row.repeat * row.codes.size();
            for (auto& c : all) {
                if (row.singleBytes) {
                    for (qsizetype i = 0; i < script.size(); ++i)
                        c->send(script.mid(i, 1), i == 0 ? MSG_OOB : 0);
                } else if (row.unread) {
                    c->shrinkServerBuffer();
                    std::thread sender([&] { c->send(script); });
                    c->awaitUnread(32 * 1024);
                    for (QByteArray code; got.size() < expected.size() && !(code = c->code()).isEmpty();)
                        got += code + ' ';
                    sender.join();
                    continue;
                } else {
                    c->send(script);
                }
                if (row.end != End::Mixed)
                    for (qsizetype i = 0; i < lines; ++i)
                        got += c->code() + ' ';
            }
            if (row.end == End::Mixed)
                got = expected; // nobody reads: each connection ends in its own way
            while (row.end == End::ByTheProgram && !quiet) {
                std::this_thread::yield();
            }
            for (size_t i = 0; i < all.size(); ++i) {
                Client& c = *all[i];
                if (row.end == End::Quit) {
                    got += c.command("QUIT").left(3);
                    c.drain();
                } else if (row.end == End::ByTheProgram || i % 3 == 0) {
                    c.halfClose();
                } else if (i % 3 == 1) {
                    c.reset();
                } else {
                    c.send("QUIT\r\n");
                }
            }
            finished = true;
            all.clear();
        });
        if (row.end == End::ByTheProgram) {
            while (!loggedIn)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            // Every session has been served; now each socket's end is taken
            // from the kernel but not delivered while the sessions are ended here.
            quiet = true;
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while ((!finished || FtpEnginePrivate::of(engine)->poller->pending() < size_t(row.sessions))
                   && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            EXPECT_EQ(FtpEnginePrivate::of(engine)->poller->pending(), size_t(row.sessions));
            QList<QPointer<FtpUser>> sessions;
            for (int i = 0; i < engine.Sessions().Count(); ++i)
                sessions.append(engine.Sessions().Item(i));
            for (const auto& s : sessions)
                if (s)
                    s->Disconnect();
        }
        while (!finished)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        clients.join();
        for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             engine.Sessions().Count() > 0 && std::chrono::steady_clock::now() < until;)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(engine.Sessions().Count(), 0);
        const QByteArray want = expected + (row.end == End::Quit ? QByteArray("221").repeated(row.sessions) : "");
        qsizetype same = 0;
        while (same < got.size() && same < want.size() && got[same] == want[same])
            ++same;
        EXPECT_TRUE(got == want) << "replies differ from byte " << same << ": " << got.mid(same, 40).toStdString();

        // The engine serves on as before.
        std::atomic<bool> served = false, done = false;
        std::thread after([&] {
            Client c(port);
            c.login();
            served = c.command("NOOP").startsWith("200");
            done = true;
        });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        after.join();
        EXPECT_TRUE(served);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qInstallMessageHandler(previous);
        const QMutexLocker lock(&capturedLock);
        EXPECT_TRUE(captured.isEmpty()) << captured.join(QLatin1Char('\n')).toStdString();
    }
}
