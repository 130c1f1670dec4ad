#include "console/FirstRunSettings.h"

#include "core/AppFiles.h"

#include <QStringList>

namespace ModMain {

QString DefaultGreeting()
{
    // Trailing blanks are part of the text.
    const QStringList lines = {
        QString(),
        QString(),
        QStringLiteral("Welcome to Corvalen FTP Server   "),
        QString(),
        QStringLiteral("We have tested Quayport with the "),
        QStringLiteral("following client programs."),
        QString(),
        QStringLiteral("* Standard Windows FTP Client."),
        QString(),
        QStringLiteral("* Tabbed graphical clients. Note: "),
        QStringLiteral("  You need to set the configuration to"),
        QStringLiteral("  'FORCE RFC compliant PASV' in Edit, "),
        QStringLiteral("  Settings, Connection and Server specific."),
        QString(),
        QStringLiteral("* Explorer-style clients.  We recommend "),
        QStringLiteral("  you set 'Transfer items larger than 5 "),
        QStringLiteral("  kilobytes' to 99999 in View, Options, Transfers.  "),
        QStringLiteral("  This stops the client from connecting multiple "),
        QStringLiteral("  times for file transfers."),
        QString(),
        QStringLiteral("* Lightweight clients. When defining the connection, "),
        QStringLiteral("  specify host type as IBM PC/TCPIP."),
    };
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

ServerSettings FirstRunSettings(const QString& localAddress)
{
    ServerSettings s;
    s.IP = localAddress;
    s.IdleTimeout = QStringLiteral("5");
    s.Put0Byte = true;
    s.Port = QStringLiteral("21");
    s.ServerRoot = AppFiles::RootFolder();
    s.Greeting = DefaultGreeting();
    s.LoggedOnMessage = QStringLiteral("Send comments to ") + QLatin1String(SupportEmail);
    s.AllowAnonymous = true;
    s.StartServer = true;
    return s;
}

} // namespace ModMain
