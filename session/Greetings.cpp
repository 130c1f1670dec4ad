#include "session/Greetings.h"

#include "core/ProcessState.h"
#include "engine/FtpEngine.h"

#include <QLocale>
#include <QStringList>

namespace {

const QString LineEnd = QStringLiteral("\r\n");

} // namespace

QString ConnectGreeting(const QString& version, const QString& greeting)
{
    QStringList lines{QStringLiteral("220-Corvalen FTP Server v") + version};
    if (!greeting.trimmed().isEmpty()) {
        for (const QString& piece : greeting.split(LineEnd))
            lines.append(QStringLiteral("    ") + piece);
    }
    lines.append(QStringLiteral("220 Enter login details"));
    return lines.join(LineEnd);
}

QString LoginReply(const QString& loggedOnMessage, const QDateTime& now)
{
    QStringList lines;
    if (!loggedOnMessage.trimmed().isEmpty()) {
        for (const QString& piece : loggedOnMessage.split(LineEnd))
            lines.append(QStringLiteral("230-") + piece);
    }
    const QLocale locale = QLocale::system();
    lines.append(QStringLiteral("230 Date ") + locale.toString(now.date(), QLocale::ShortFormat)
                 + QStringLiteral(", Time ") + locale.toString(now.time(), QLocale::ShortFormat)
                 + QLatin1Char('.'));
    return lines.join(LineEnd);
}

namespace ModMain {

void DefineGreetings(FtpEngine& engine, const QDateTime& now)
{
    engine.SetReplyText(FtpEngine::LoggedOnReply, LoginReply(ServerConfig.LoggedOnMessage, now));
    engine.SetReplyText(FtpEngine::GreetingReply, ConnectGreeting(VersionText, ServerConfig.Greeting));
}

} // namespace ModMain
