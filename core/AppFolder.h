#pragma once
// The application folder: where every file of the program lives. It is the
// folder named by QUAYPORT_HOME when that is set, else the executable's folder.
#include <QString>

QString AppFolder();
// The application folder followed by a tail such as "/users/U_anonymous".
QString AppPath(const QString& tail);
