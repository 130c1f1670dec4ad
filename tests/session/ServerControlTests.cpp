// Starting and stopping the engine, and the greeting and login reply texts.
#include "core/Config.h"
#include "session/Greetings.h"
#include "tests/session/SessionFixture.h"

#include <QLocale>

namespace {

QStringList Lines(const QString& reply)
{
    return reply.split(QStringLiteral("\r\n"));
}

} // namespace

TEST(Greetings, ConnectGreetingLines)
{
    const QString version = QStringLiteral(QUAYPORT_VERSION_TEXT);
    const QString first = QStringLiteral("220-Corvalen FTP Server v" QUAYPORT_VERSION_TEXT);
    EXPECT_EQ(Lines(ConnectGreeting(version, QStringLiteral("Welcome"))),
              (QStringList{first, QStringLiteral("    Welcome"), QStringLiteral("220 Enter login details")}));
    EXPECT_EQ(Lines(ConnectGreeting(version, QStringLiteral(" \t "))),
              (QStringList{first, QStringLiteral("220 Enter login details")}));
    EXPECT_EQ(Lines(ConnectGreeting(version, QStringLiteral("a\r\n\r\nb"))).mid(1, 3),
              (QStringList{QStringLiteral("    a"), QStringLiteral("    "), QStringLiteral("    b")}));
    const QStringList trailing = Lines(ConnectGreeting(version, QStringLiteral("a\r\n")));
    ASSERT_EQ(trailing.size(), 4);
    EXPECT_EQ(trailing[2], QStringLiteral("    "));
}

TEST(Greetings, LoginReplyLinesAndSystemDateForms)
{
    const QDateTime at(QDate(2026, 12, 8), QTime(7, 15, 0));
    const QLocale system = QLocale::system();
    const QString last = QStringLiteral("230 Date ") + system.toString(at.date(), QLocale::ShortFormat)
        + QStringLiteral(", Time ") + system.toString(at.time(), QLocale::ShortFormat) + QLatin1Char('.');
    EXPECT_EQ(LoginReply(QStringLiteral("  "), at), last);
    EXPECT_EQ(Lines(LoginReply(QStringLiteral("Hi\r\n\r\nthere"), at)),
              (QStringList{QStringLiteral("230-Hi"), QStringLiteral("230-"), QStringLiteral("230-there"), last}));
}

class ServerControl : public SessionTest {
protected:
    void saveSettings(const QString& port, const QString& idle)
    {
        auto& c = ModMain::ServerConfig;
        c.Port = port;
        c.IdleTimeout = idle;
        c.ServerRoot = home.file(QStringLiteral("/root"));
        c.Greeting = QStringLiteral("Welcome");
        c.LoggedOnMessage = QStringLiteral("Hello");
        ASSERT_TRUE(ModMain::SaveConfig());
    }
};

TEST_F(ServerControl, StartConfiguresTheEngineAndStopTakesItDown)
{
    saveSettings(QStringLiteral("0"), QStringLiteral("1.5"));
    ModMain::ServerConfig = {}; // the start reads the file afresh
    engine.VirtualFolderList().Add(QStringLiteral("old"), QStringLiteral("/"), QStringLiteral("/tmp"));

    ASSERT_TRUE(handlers.StartServer());
    EXPECT_TRUE(engine.Listening());
    EXPECT_EQ(engine.ListenPort(), 0);
    EXPECT_EQ(engine.IdleSeconds(), 90);
    EXPECT_EQ(engine.DefaultRoot(), home.file(QStringLiteral("/root")));
    EXPECT_EQ(engine.VirtualFolderList().Count(), 0);
    EXPECT_EQ(engine.ReplyText(11), ConnectGreeting(ModMain::VersionText, QStringLiteral("Welcome")));
    EXPECT_EQ(engine.ReplyText(17), LoginReply(QStringLiteral("Hello"), now));
    EXPECT_EQ(console.eventPasses, 1);
    // Which commands each change enables is the console's to decide (console.tst_servercommands).
    EXPECT_EQ(console.serverChanges, QList<ServerChange>{ServerChange::Started});
    EXPECT_EQ(console.infoLines, QStringList{QStringLiteral("Quayport Started and waiting for connections.")});

    // A restart takes the current settings and the time of the restart.
    now = now.addSecs(3600);
    ASSERT_TRUE(handlers.StartServer());
    EXPECT_TRUE(engine.Listening());
    EXPECT_EQ(engine.ReplyText(17), LoginReply(QStringLiteral("Hello"), now));

    ASSERT_TRUE(handlers.StopServer());
    EXPECT_FALSE(engine.Listening());
    EXPECT_EQ(console.serverChanges,
              (QList<ServerChange>{ServerChange::Started, ServerChange::Started, ServerChange::Stopped}));
    EXPECT_EQ(console.infoLines.last(), QStringLiteral("Quayport Stopped."));
}

TEST_F(ServerControl, SettingsThatFailToLoadChangeNothing)
{
    const QString greeting = engine.ReplyText(11);
    EXPECT_FALSE(handlers.StartServer());
    EXPECT_EQ(engine.ReplyText(11), greeting);
    EXPECT_TRUE(console.serverChanges.isEmpty());
    EXPECT_TRUE(console.infoLines.isEmpty());
}

TEST_F(ServerControl, BadPortOrIdleTimeFailsTheStartAfterStopping)
{
    for (const auto& [port, idle] : {std::pair{"abc", "5"}, std::pair{"40000", "5"}, std::pair{"0", "600"},
                                     std::pair{"0", "x"}}) {
        SCOPED_TRACE(port);
        saveSettings(QStringLiteral("0"), QStringLiteral("5"));
        ASSERT_TRUE(handlers.StartServer());
        console.serverChanges.clear();
        console.infoLines.clear();
        saveSettings(QString::fromLatin1(port), QString::fromLatin1(idle));

        EXPECT_FALSE(handlers.StartServer());
        EXPECT_FALSE(engine.Listening()); // stopped in the step before the conversion
        EXPECT_EQ(console.infoLines, QStringList{QStringLiteral("Quayport unable to start server engine.")});
        EXPECT_EQ(console.serverChanges, QList<ServerChange>{ServerChange::StartFailed});
    }
}
