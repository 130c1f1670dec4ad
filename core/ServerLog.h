#pragma once
// The server log logs/S_Log.txt and the anonymous log
// logs/anonymous_passwords.txt.
#include <QString>

namespace ModMain {

// Appends one record to the server log (moving a log over 2,000,000 bytes
// aside first) and, when asked, shows the event on the console. False for the
// user "unknown" (nothing is done) and when the record could not be written.
bool WriteServerLog(const QString& group, const QString& user, const QString& clientAddress, const QString& message,
                    bool showOnConsole);
// The server's own event: "server" stands as its group, user and client address.
bool WriteServerEvent(const QString& message, bool showOnConsole);
// Adds an address to the anonymous log unless it is there already.
void WriteAnonymousLog(const QString& address);

} // namespace ModMain
