#pragma once
// First-run preparation of the application folder: the folders, the default
// account "anonymous", the default group "public" and the anonymous log; then
// the settings, with a missing server root remapped to the folder "root".
#include <QString>
#include <QStringList>
#include <functional>

namespace ModMain {

inline constexpr char AnonymousLogHeader[] = "*** 1.0.3 Email addresses from anonymous users ***";
inline constexpr char DefaultAnonymousEmail[] = "ftp@quayport.example";
inline constexpr char DefaultAnonymousPassword[] = "marigold";

QStringList DefaultAnonymousAccountLines();
QStringList DefaultPublicGroupLines();

// Creates every missing folder and default file, logging each creation, and
// notes in FirstRun whether Config.txt is missing. Then removes the leftover
// temporaries of interrupted rewrites, logging each removal.
void PrepareApplicationFolder();

// When the settings file exists: loads it and, when the server root is
// missing, logs the remap on the console, points the root at the folder
// "root", saves, and then tells onRemapped the new root. Stops as soon as
// the program is ending.
void LoadSettingsAndRemapRoot(const std::function<void(const QString&)>& onRemapped);

} // namespace ModMain
