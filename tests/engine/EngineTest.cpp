#include "engine/FtpEngine.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>

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
