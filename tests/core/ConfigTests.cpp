// The settings file: byte-exact round trips, partial loads and failed saves.
#include "core/Config.h"
#include "core/Flags.h"
#include "core/ProcessState.h"
#include "core/TextCipher.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"
#include "tests/support/Unprivileged.h"

#include <QFile>
#include <gtest/gtest.h>

using ModMain::ServerConfig;

namespace {

void fillSettings()
{
    ServerConfig.IP = QStringLiteral("10.0.0.5");
    ServerConfig.Port = QStringLiteral("2121");
    ServerConfig.IdleTimeout = QStringLiteral("5");
    ServerConfig.Put0Byte = true;
    ServerConfig.ServerRoot = QStringLiteral("/srv/ftp/root");
    ServerConfig.Greeting = QStringLiteral("\r\n\r\nWelcome   \r\n\r\nsecond line \r\n");
    ServerConfig.LoggedOnMessage = QString();
    ServerConfig.AllowAnonymous = false;
    ServerConfig.StartServer = true;
}

QList<QByteArray> fileLines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    EXPECT_TRUE(lines.last().isEmpty()); // ends in a line end
    lines.removeLast();
    for (auto& l : lines) {
        EXPECT_TRUE(l.endsWith('\r'));
        l.chop(1);
    }
    return lines;
}

void writeConfig(TempAppFolder& home, const QStringList& plainLines)
{
    QByteArray bytes;
    for (const QString& l : plainLines)
        bytes += ModMain::Encipher(l).toLatin1() + "\r\n";
    home.write(QStringLiteral("/Config.txt"), bytes);
}

} // namespace

TEST(Config, SaveAndLoadRoundTripByteExact)
{
    TempAppFolder home;
    InstalledDoubles doubles;
    fillSettings();
    ASSERT_TRUE(ModMain::SaveConfig());
    const QByteArray first = home.read(QStringLiteral("/Config.txt"));
    const QList<QByteArray> lines = fileLines(first);
    ASSERT_EQ(lines.size(), 59);
    EXPECT_EQ(lines[9], QByteArray(QUAYPORT_VERSION_TEXT));
    for (int i = 10; i < 59; ++i)
        EXPECT_EQ(lines[i], lines[10]);
    EXPECT_EQ(lines[10], QByteArray("mG97Vs4y6ZTciFXa6swKWg"));

    const ModMain::ServerSettings saved = ServerConfig;
    ServerConfig = {};
    ASSERT_TRUE(ModMain::LoadConfig());
    EXPECT_EQ(ServerConfig.IP, saved.IP);
    EXPECT_EQ(ServerConfig.Port, saved.Port);
    EXPECT_EQ(ServerConfig.IdleTimeout, saved.IdleTimeout);
    EXPECT_EQ(ServerConfig.Put0Byte, saved.Put0Byte);
    EXPECT_EQ(ServerConfig.ServerRoot, saved.ServerRoot);
    EXPECT_EQ(ServerConfig.Greeting, saved.Greeting);
    EXPECT_EQ(ServerConfig.LoggedOnMessage, saved.LoggedOnMessage);
    EXPECT_EQ(ServerConfig.AllowAnonymous, saved.AllowAnonymous);
    EXPECT_EQ(ServerConfig.StartServer, saved.StartServer);

    ASSERT_TRUE(ModMain::SaveConfig());
    EXPECT_EQ(home.read(QStringLiteral("/Config.txt")), first);
    EXPECT_TRUE(doubles.messages->messages.empty());
}

TEST(Config, PartialLoads)
{
    TempAppFolder home;
    InstalledDoubles doubles;

    EXPECT_FALSE(ModMain::LoadConfig()); // missing file
    fillSettings();
    const ModMain::ServerSettings before = ServerConfig;

    // Five lines: the first five fields are replaced, the other four stay.
    writeConfig(home, {QStringLiteral("1.2.3.4"), QStringLiteral("21"), QStringLiteral("9"), QStringLiteral("False"),
                       QStringLiteral("/x")});
    EXPECT_FALSE(ModMain::LoadConfig());
    EXPECT_EQ(ServerConfig.IP, QStringLiteral("1.2.3.4"));
    EXPECT_EQ(ServerConfig.Put0Byte, false);
    EXPECT_EQ(ServerConfig.ServerRoot, QStringLiteral("/x"));
    EXPECT_EQ(ServerConfig.Greeting, before.Greeting);
    EXPECT_EQ(ServerConfig.StartServer, before.StartServer);

    // Flags in any letter case or as numbers; another version line and fewer than 59 lines load.
    writeConfig(home, {QStringLiteral("a"), QStringLiteral("21"), QStringLiteral("5"), QStringLiteral("TRUE"),
                       QStringLiteral("/r"), QStringLiteral("g"), QStringLiteral("l"), QStringLiteral("0"),
                       QStringLiteral("-1")});
    EXPECT_TRUE(ModMain::LoadConfig());
    EXPECT_TRUE(ServerConfig.Put0Byte);
    EXPECT_FALSE(ServerConfig.AllowAnonymous);
    EXPECT_TRUE(ServerConfig.StartServer);

    // A flag that does not convert stops the load at that line.
    ServerConfig.StartServer = false;
    writeConfig(home, {QStringLiteral("b"), QStringLiteral("22"), QStringLiteral("6"), QStringLiteral("True"),
                       QStringLiteral("/s"), QStringLiteral("h"), QStringLiteral("m"), QStringLiteral("maybe"),
                       QStringLiteral("True")});
    EXPECT_FALSE(ModMain::LoadConfig());
    EXPECT_EQ(ServerConfig.LoggedOnMessage, QStringLiteral("m"));
    EXPECT_FALSE(ServerConfig.StartServer);
}

TEST(Config, FailedSaveKeepsTheOldFileAndSaysSo)
{
    TempAppFolder home;
    fillSettings();
    ASSERT_TRUE(ModMain::SaveConfig());
    const QByteArray old = home.read(QStringLiteral("/Config.txt"));
    MakeReadOnlyForOthers(home.path());

    EXPECT_EXIT(
        {
            BecomeUnprivileged();
            InstalledDoubles doubles;
            ServerConfig.Port = QStringLiteral("9999");
            const bool saved = ModMain::SaveConfig();
            const bool boxShown = doubles.messages->messages.size() == 1
                && doubles.messages->messages[0].title == QStringLiteral("Failed to Write Configuration!")
                && doubles.messages->messages[0].icon == MessageIcon::Critical
                && doubles.messages->messages[0].text.startsWith(QStringLiteral("Error: "));
            std::exit(!saved && boxShown && ServerConfig.Port == QStringLiteral("9999") ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(home.read(QStringLiteral("/Config.txt")), old);
}

// A flag field holds "True", "False" or a decimal number, with plain blanks
// around it; any other text, even one a number parser takes, fails.
TEST(ParseFlag, WordsAndDecimalNumbersOnly)
{
    const struct {
        const char16_t* text;
        std::optional<bool> flag;
    } cases[] = {
        {u"True", true}, {u"FALSE", false}, {u"tRuE", true}, {u" true\t", true}, {u"\r\nFalse \v\f", false},
        {u"0", false}, {u"-0", false}, {u"0.0", false}, {u"0e5", false}, {u"00", false},
        {u"1", true}, {u"-1", true}, {u"+1", true}, {u"1.5", true}, {u".5", true}, {u"5.", true},
        {u"1e3", true}, {u"1E+3", true}, {u"2e-3", true}, {u" 7 ", true},
        {u"nan", std::nullopt}, {u"NaN", std::nullopt}, {u"inf", std::nullopt}, {u"-inf", std::nullopt},
        {u"+INF", std::nullopt}, {u"infinity", std::nullopt}, {u"1e999", std::nullopt},
        {u"\u00a0True", std::nullopt}, {u"True\u00a0", std::nullopt}, {u"\u00a01", std::nullopt},
        {u"\u20031", std::nullopt}, {u"1\u3000", std::nullopt}, {u"\u2028False", std::nullopt},
        {u"fal\u017fe", std::nullopt}, {u"\u0661", std::nullopt},
        {u"", std::nullopt}, {u" ", std::nullopt}, {u"maybe", std::nullopt}, {u"Yes", std::nullopt},
        {u".", std::nullopt}, {u"-", std::nullopt}, {u"1e", std::nullopt}, {u"e3", std::nullopt},
        {u"0x10", std::nullopt}, {u"1,000", std::nullopt}, {u"1 000", std::nullopt}, {u"True True", std::nullopt},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(ParseFlag(text), c.flag) << text.toStdString();
    }
}
