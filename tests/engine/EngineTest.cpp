#include "engine/FtpEngine.h"
#include "engine/UniqueFd.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <vector>

class Engine : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "engine_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
};

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
