#pragma once
// The two replies the engine sends on its own: the connect greeting and the
// reply to an accepted login. Lines are joined by CR LF.
#include <QDateTime>
#include <QString>

class FtpEngine;

// "220-Corvalen FTP Server v<version>", each greeting line indented by four
// blanks (none for a blank greeting), then "220 Enter login details".
QString ConnectGreeting(const QString& version, const QString& greeting);
// "230-" and each logged-on line (none for a blank message), then
// "230 Date <date>, Time <time>." in the system's short forms.
QString LoginReply(const QString& loggedOnMessage, const QDateTime& now);

namespace ModMain {
// Sets the login reply (17), then the connect greeting (11), from the settings.
void DefineGreetings(FtpEngine& engine, const QDateTime& now = QDateTime::currentDateTime());
}
