#pragma once
// "/regserver": the viewer registers its class with the session bus by writing
// a service file that names its own program, then asks the bus to read its
// service folders again (a folder made after the bus started is otherwise not
// seen). Nothing here needs a display.
#include <QByteArray>
#include <QString>
#include <optional>

namespace Registration {

// True when the arguments hold the switch "/regserver" (in any letter case).
bool HasRegServerSwitch(int argc, char** argv);

// $XDG_DATA_HOME/dbus-1/services/Scrollbook.clsFrmScrollbook.service
QString ServiceFilePath();

// The service file for the program: its path quoted and escaped as the bus
// reads a command line. No value for a path that holds a line break, which
// no service file can carry.
std::optional<QByteArray> ServiceFileText(const QString& program);

// Writes the service file for the program and reloads the bus's
// configuration; the exit status of "/regserver" (0 when the file is written).
// Failures are described on standard error.
int RegisterServer(const QString& program);

} // namespace Registration
