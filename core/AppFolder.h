#pragma once
// The application folder: where every file of the program lives. It is the
// folder named by QUAYPORT_HOME when that is set, else the executable's folder.
#include <QString>

QString AppFolder();
// The application folder followed by a tail such as "/users/U_anonymous".
QString AppPath(const QString& tail);

// Why the program cannot keep its files in the application folder, naming the
// folder; empty when it can. A folder that does not exist is not made (a
// mistyped QUAYPORT_HOME would start a fresh server that admits anonymous
// users), and a path the files cannot spell would be stored with "?" for its
// letters.
QString AppFolderRefusal();
