#pragma once
// The settings file "Config.txt": the nine settings enciphered one a line,
// the version line, then 49 enciphered "<Reserved>" lines.
#include <QStringList>

namespace ModMain {

// The 59 lines that SaveConfig writes for the current settings.
QStringList ConfigFileLines();
// Rewrites Config.txt whole. On failure shows "Failed to Write Configuration!"
// and returns false; the old file is left as it was. Once the program is
// ending it writes nothing and returns false.
bool SaveConfig();
// Reads lines 1 to 9 into ServerConfig, each stored as soon as it is read;
// false when the file is missing, too short or a flag does not convert.
bool LoadConfig();

} // namespace ModMain
