#pragma once
// The live connections in the right-hand pane: the list of sessions (all of
// them, or one client address's) and the panel of one session.
#include <QString>

class ConnectionPanel;
class FtpEngine;
class FtpUser;
class ListViewControl;

namespace ConnectionView {

// Fills an emptied list with the 13 connection columns and one row per
// session that has given a user name; with hostOnly, only that address's.
void ShowConnections(ListViewControl& list, const FtpEngine& engine, bool hostOnly, const QString& host);
// Fills every control of the panel from one session and the user's counter
// files. A session without a record shows zero counters.
void FillPanel(ConnectionPanel& panel, const FtpUser& user);
// The session's group: its record's, else the one its account names.
QString SessionGroup(const FtpUser& user);

} // namespace ConnectionView
